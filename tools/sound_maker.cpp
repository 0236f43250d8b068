// sound_maker.cpp -- synthesises the game's four sounds from oscillators, envelopes
// and noise, and writes them as 16-bit mono PCM WAV files at 44100 Hz:
//   bgm_main.wav  the title tune (A minor, 120 bpm, 8 bars, echoing pulse lead)
//   bgm_game.wav  the game tune (E minor, 150 bpm, 8 bars, driving bass and drums)
//   move.wav      the steering whoosh, started anew on every tick while steering
//   crash.wav     the crash: a noise blast, a falling boom and a crunchy falling buzz
// The tunes are rendered on a circle: whatever rings on past the last bar (release
// tails, echoes) is added onto the start, so that the loop is seamless.
// Usage: sound_maker OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/folder_argument.h"

namespace {

// What --help prints.
constexpr char USAGE[] =
    "usage: sound_maker OUTPUT_FOLDER\n"
    "Synthesises the game's four sounds (bgm_main.wav, bgm_game.wav, move.wav, crash.wav)\ninto "
    "OUTPUT_FOLDER, which it makes if need be.\n";

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;

// A mono track. A looping track wraps every write around its end.
struct Track {
  std::vector<float> samples;
  bool looping;

  Track(size_t length, bool loop) : samples(length, 0.0f), looping(loop) {}
  void add(long index, double value) {
    long n = long(samples.size());
    if (looping) {
      index %= n;
      if (index < 0) index += n;
    } else if (index < 0 || index >= n) {
      return;
    }
    samples[size_t(index)] += float(value);
  }
  void mix(const Track& other, double gain) {
    for (size_t i = 0; i < samples.size(); ++i) samples[i] += float(gain * other.samples[i]);
  }
};

// Deterministic white noise in -1..1 (xorshift), so every build makes the same files.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return double(state_) / 2147483648.0 - 1.0;
  }

 private:
  uint32_t state_;
};

// Band-limited step correction for the pulse oscillator, so that its edges do not alias.
double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double pulseWave(double phase, double dt, double duty) {
  double value = phase < duty ? 1.0 : -1.0;
  value += polyBlep(phase, dt);
  value -= polyBlep(std::fmod(phase + 1.0 - duty, 1.0), dt);
  return value;
}

double triangleWave(double phase) { return 4.0 * std::fabs(phase - 0.5) - 1.0; }

double midiToHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// One-pole low-pass, coefficient from a cut-off frequency.
struct LowPass {
  double a;
  double y = 0.0;
  explicit LowPass(double hz) : a(1.0 - std::exp(-2.0 * PI * hz / RATE)) {}
  double step(double x) { return y += a * (x - y); }
};

// ---------------------------------------------------------------- melodic voices

enum class Wave { Pulse, Triangle };

struct Voice {
  Wave wave;
  double duty;     // pulse width, 0..1
  double attack;   // seconds
  double decay;    // seconds from full to the sustain level
  double sustain;  // 0..1
  double release;  // seconds from the end of the gate to silence
  double gate;     // fraction of the written length that the note is held
  double vibrato;  // depth in semitones, faded in after the first 0.15 s
  double cutoff;   // low-pass cut-off, Hz
  double gain;
};

double envelope(const Voice& v, double t, double held) {
  auto level = [&](double u) {
    if (u < v.attack) {
      double x = u / v.attack;
      return x * x * (3.0 - 2.0 * x);  // smooth start: no click
    }
    u -= v.attack;
    if (u < v.decay) return 1.0 - (1.0 - v.sustain) * (u / v.decay);
    return v.sustain;
  };
  if (t < held) return level(t);
  double r = (t - held) / v.release;
  if (r >= 1.0) return 0.0;
  return level(held) * (1.0 - r) * (1.0 - r);
}

void playNote(Track& out, const Voice& v, double start, double length, double midi, double velocity = 1.0) {
  double held = length * v.gate;
  long count = long((held + v.release) * RATE);
  long first = long(std::lround(start * RATE));
  double phase = 0.0;
  LowPass smooth(v.cutoff);
  for (long n = 0; n < count; ++n) {
    double t = double(n) / RATE;
    double vib = t > 0.15 ? v.vibrato * std::min(1.0, (t - 0.15) / 0.2) * std::sin(2.0 * PI * 5.5 * t) : 0.0;
    double dt = midiToHz(midi + vib) / RATE;
    double raw = v.wave == Wave::Pulse ? pulseWave(phase, dt, v.duty) : triangleWave(phase);
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    out.add(first + n, v.gain * velocity * envelope(v, t, held) * smooth.step(raw));
  }
}

// A written line of notes, "E5:4 A5:2 -:2 ...": name and octave (or '-' for a rest),
// then the length in sixteenth steps.
struct Note {
  int step;
  int steps;
  int midi;
};

std::vector<Note> parseLine(const char* text) {
  static const int semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  std::vector<Note> notes;
  int step = 0;
  const char* p = text;
  while (*p) {
    while (*p == ' ' || *p == '|') ++p;
    if (!*p) break;
    int midi = -1;
    if (*p == '-') {
      ++p;
    } else {
      int semitone = semitones[*p - 'A'];
      ++p;
      if (*p == '#') ++semitone, ++p;
      if (*p == 'b') --semitone, ++p;
      int octave = *p++ - '0';
      midi = 12 * (octave + 1) + semitone;
    }
    int steps = 0;
    if (*p == ':') ++p;
    while (*p >= '0' && *p <= '9') steps = steps * 10 + (*p++ - '0');
    if (midi >= 0) notes.push_back({step, steps, midi});
    step += steps;
  }
  return notes;
}

// ---------------------------------------------------------------- drums

void kick(Track& out, double start, double gain) {
  long first = long(std::lround(start * RATE));
  double phase = 0.0;
  for (long n = 0; n < long(0.3 * RATE); ++n) {
    double t = double(n) / RATE;
    double hz = 48.0 + 120.0 * std::exp(-t / 0.025);
    phase += hz / RATE;
    double env = std::min(1.0, t / 0.001) * std::exp(-t / 0.11) * (1.0 - t / 0.3);
    out.add(first + n, gain * env * std::sin(2.0 * PI * phase));
  }
}

void snare(Track& out, Noise& noise, double start, double gain) {
  long first = long(std::lround(start * RATE));
  LowPass body(5000.0);
  double previous = 0.0;
  double phase = 0.0;
  for (long n = 0; n < long(0.22 * RATE); ++n) {
    double t = double(n) / RATE;
    double x = body.step(noise.next());
    double bright = x - 0.6 * previous;  // tilt towards the highs
    previous = x;
    phase += 190.0 / RATE;
    double fade = (1.0 - t / 0.22);
    double env = std::min(1.0, t / 0.001) * fade;
    double value =
        0.8 * bright * std::exp(-t / 0.07) + 0.5 * std::sin(2.0 * PI * phase) * std::exp(-t / 0.04);
    out.add(first + n, gain * env * value);
  }
}

void hat(Track& out, Noise& noise, double start, double gain, double length) {
  long first = long(std::lround(start * RATE));
  double previous = 0.0;
  long count = long(length * RATE);
  for (long n = 0; n < count; ++n) {
    double t = double(n) / RATE;
    double x = noise.next();
    double high = x - previous;  // first difference: only the hiss
    previous = x;
    double env = std::min(1.0, t / 0.0005) * std::exp(-t / (length * 0.3)) * (1.0 - t / length);
    out.add(first + n, gain * env * high);
  }
}

// ---------------------------------------------------------------- tunes

struct Chord {
  int root;  // midi
  bool minor;
};

void normalise(std::vector<float>& samples, double peak) {
  double top = 0.0;
  for (float s : samples) top = std::max(top, double(std::fabs(s)));
  if (top <= 0.0) return;
  for (float& s : samples) s = float(s * peak / top);
}

// An echo of the track, a dotted eighth late and fading, wrapped round the loop.
void addEcho(Track& out, const Track& dry, long delay, double feedback, int repeats) {
  double gain = feedback;
  for (int k = 1; k <= repeats; ++k, gain *= feedback) {
    for (size_t i = 0; i < dry.samples.size(); ++i) out.add(long(i) + k * delay, gain * dry.samples[i]);
  }
}

std::vector<float> titleTune() {
  const double step = 60.0 / 120.0 / 4.0;  // sixteenth at 120 bpm
  const int bars = 8;
  const size_t length = size_t(std::lround(bars * 16 * step * RATE));
  const Chord chords[bars] = {{57, true}, {53, false}, {48, false}, {55, false},
                              {57, true}, {53, false}, {55, false}, {52, false}};
  const char* melody =
      "E5:4 A5:2 G5:2 E5:4 C5:2 D5:2 | C5:4 F5:2 E5:2 C5:4 A4:4 | G4:2 C5:2 E5:2 G5:2 E5:4 D5:2 C5:2 |"
      "D5:6 B4:2 G4:4 -:4 | E5:4 A5:2 B5:2 C6:4 B5:2 A5:2 | A5:4 F5:2 A5:2 C6:4 A5:4 |"
      "B5:2 A5:2 G5:2 D5:2 G5:4 B5:4 | G#5:4 E5:2 B4:2 G#4:4 E4:2 -:2";

  Track lead(length, true), echo(length, true), arp(length, true), bass(length, true), drums(length, true);
  const Voice leadVoice{Wave::Pulse, 0.25, 0.008, 0.25, 0.6, 0.08, 0.9, 0.15, 4500.0, 0.5};
  const Voice arpVoice{Wave::Pulse, 0.5, 0.002, 0.09, 0.0, 0.02, 1.0, 0.0, 3000.0, 0.16};
  const Voice bassVoice{Wave::Triangle, 0.5, 0.004, 0.2, 0.7, 0.03, 0.85, 0.0, 2000.0, 0.7};

  for (const Note& n : parseLine(melody)) playNote(lead, leadVoice, n.step * step, n.steps * step, n.midi);
  addEcho(echo, lead, long(std::lround(3 * step * RATE)), 0.35, 3);

  Noise noise(0x5EED1234u);
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& c = chords[bar];
    const int tones[4] = {0, c.minor ? 3 : 4, 7, 12};
    for (int s = 0; s < 16; ++s) {
      double at = (bar * 16 + s) * step;
      playNote(arp, arpVoice, at, step, c.root + 12 + tones[s % 4]);
    }
    // Bass in eighths, root with an octave leap: R R O R R O R O.
    static const int bassOctave[8] = {0, 0, 12, 0, 0, 12, 0, 12};
    for (int e = 0; e < 8; ++e) {
      playNote(bass, bassVoice, (bar * 16 + 2 * e) * step, 2 * step, c.root - 12 + bassOctave[e]);
    }
    double barStart = bar * 16 * step;
    kick(drums, barStart, 0.9);
    kick(drums, barStart + 8 * step, 0.9);
    if (bar % 2 == 1) kick(drums, barStart + 10 * step, 0.6);
    snare(drums, noise, barStart + 4 * step, 0.45);
    snare(drums, noise, barStart + 12 * step, 0.45);
    for (int s = 0; s < 16; s += 2) hat(drums, noise, barStart + s * step, s % 4 == 2 ? 0.16 : 0.09, 0.05);
  }

  Track mixed(length, true);
  mixed.mix(lead, 1.0);
  mixed.mix(echo, 0.8);
  mixed.mix(arp, 1.0);
  mixed.mix(bass, 1.0);
  mixed.mix(drums, 0.8);
  normalise(mixed.samples, 0.6);
  return mixed.samples;
}

std::vector<float> gameTune() {
  const double step = 60.0 / 150.0 / 4.0;  // sixteenth at 150 bpm
  const int bars = 8;
  const size_t length = size_t(std::lround(bars * 16 * step * RATE));
  const Chord chords[bars] = {{52, true}, {52, true}, {48, false}, {50, false},
                              {52, true}, {52, true}, {48, false}, {47, false}};
  const char* riff =
      "E5:2 E5:2 G5:2 E5:2 B5:2 A5:2 G5:2 F#5:2 | G5:3 F#5:3 E5:2 D5:2 E5:2 B4:4 |"
      "C5:2 E5:2 G5:2 C6:2 B5:2 G5:2 E5:2 G5:2 | A5:4 F#5:2 D5:2 A5:3 B5:3 A5:2 |"
      "E6:2 D6:2 B5:2 G5:2 E5:2 G5:2 B5:2 D6:2 | E6:4 B5:2 G5:2 A5:2 G5:2 F#5:2 D5:2 |"
      "E5:2 G5:2 C6:4 B5:2 A5:2 G5:2 E5:2 | D#5:4 F#5:2 B5:2 A5:2 F#5:2 D#5:2 B4:2";

  Track lead(length, true), bass(length, true), drums(length, true), harmony(length, true);
  const Voice leadVoice{Wave::Pulse, 0.125, 0.004, 0.12, 0.55, 0.05, 0.8, 0.1, 5000.0, 0.42};
  const Voice bassVoice{Wave::Pulse, 0.5, 0.003, 0.12, 0.5, 0.02, 0.7, 0.0, 900.0, 0.55};
  const Voice subVoice{Wave::Triangle, 0.5, 0.003, 0.15, 0.6, 0.02, 0.7, 0.0, 2000.0, 0.5};
  const Voice padVoice{Wave::Pulse, 0.5, 0.04, 0.4, 0.5, 0.1, 0.95, 0.08, 1800.0, 0.07};

  for (const Note& n : parseLine(riff)) playNote(lead, leadVoice, n.step * step, n.steps * step, n.midi);

  Noise noise(0xC0FFEE11u);
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& c = chords[bar];
    double barStart = bar * 16 * step;
    // Driving bass: eighths jumping between root and octave.
    for (int e = 0; e < 8; ++e) {
      int midi = c.root - 12 + (e % 2 ? 12 : 0);
      playNote(bass, bassVoice, barStart + 2 * e * step, 2 * step, midi);
      playNote(bass, subVoice, barStart + 2 * e * step, 2 * step, midi - 12 + (e % 2 ? 0 : 12));
    }
    // A held chord under it all, third and fifth above the root.
    for (int tone : {0, c.minor ? 3 : 4, 7})
      playNote(harmony, padVoice, barStart, 16 * step, c.root + 12 + tone);
    for (int beat = 0; beat < 4; ++beat) kick(drums, barStart + 4 * beat * step, 0.95);
    snare(drums, noise, barStart + 4 * step, 0.5);
    if (bar == bars - 1) {
      for (int s = 12; s < 16; ++s) snare(drums, noise, barStart + s * step, 0.3 + 0.06 * (s - 12));
    } else {
      snare(drums, noise, barStart + 12 * step, 0.5);
    }
    for (int s = 0; s < 16; ++s) {
      bool offbeat = s % 4 == 2;
      hat(drums, noise, barStart + s * step, offbeat ? 0.2 : 0.07, offbeat ? 0.12 : 0.035);
    }
  }

  Track mixed(length, true);
  mixed.mix(lead, 1.0);
  mixed.mix(harmony, 1.0);
  mixed.mix(bass, 1.0);
  mixed.mix(drums, 0.8);
  normalise(mixed.samples, 0.6);
  return mixed.samples;
}

// ---------------------------------------------------------------- effects

// The steering whoosh: 50 ms of band-passed noise under a Hann window whose pitch
// falls. Started anew every 1/60 s, three copies overlap and their windows add up to
// an even level, so held steering gives a steady rush instead of a rattle.
std::vector<float> steeringWhoosh() {
  const long count = long(0.05 * RATE);
  std::vector<float> out(size_t(count), 0.0f);
  Noise noise(0x00A11CE5u);
  double low = 0.0, band = 0.0;  // state-variable filter
  for (long n = 0; n < count; ++n) {
    double t = double(n) / count;
    double hz = 1600.0 - 900.0 * t;
    double f = 2.0 * std::sin(PI * hz / RATE);
    double q = 0.35;
    double high = noise.next() - low - q * band;
    band += f * high;
    low += f * band;
    double window = 0.5 - 0.5 * std::cos(2.0 * PI * t);
    out[size_t(n)] = float(window * (band + 0.3 * low));
  }
  normalise(out, 0.5);
  return out;
}

// The crash: a bright noise blast that darkens, a low boom falling in pitch and a
// coarse falling pulse buzz (held at a low sample rate for the crunch).
std::vector<float> crash() {
  const long count = long(0.9 * RATE);
  std::vector<float> out(size_t(count), 0.0f);
  Noise noise(0xDEAD0BADu);
  double lp = 0.0, boomPhase = 0.0, buzzPhase = 0.0, held = 0.0;
  for (long n = 0; n < count; ++n) {
    double t = double(n) / RATE;
    double cutoff = 300.0 + 7000.0 * std::exp(-t / 0.12);
    lp += (1.0 - std::exp(-2.0 * PI * cutoff / RATE)) * (noise.next() - lp);
    double blast = lp * std::exp(-t / 0.28);

    boomPhase += (35.0 + 110.0 * std::exp(-t / 0.08)) / RATE;
    double boom = std::sin(2.0 * PI * boomPhase) * std::exp(-t / 0.3);

    double buzzHz = 55.0 + 420.0 * std::exp(-t / 0.18);
    double dt = buzzHz / RATE;
    buzzPhase += dt;
    if (buzzPhase >= 1.0) buzzPhase -= 1.0;
    if (n % 8 == 0) held = pulseWave(buzzPhase, dt, 0.5);
    double buzz = held * std::exp(-t / 0.22);

    double attack = std::min(1.0, t / 0.002);
    double tail = 0.9 - t < 0.08 ? 0.5 - 0.5 * std::cos(PI * (0.9 - t) / 0.08) : 1.0;
    out[size_t(n)] = float(attack * tail * (1.1 * blast + 0.9 * boom + 0.28 * buzz));
  }
  normalise(out, 0.8);
  return out;
}

// ---------------------------------------------------------------- output

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

bool writeWave(const std::filesystem::path& path, const std::vector<float>& samples) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  std::vector<uint8_t> bytes;
  bytes.reserve(44 + dataBytes);
  bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
  putLe(bytes, 36 + dataBytes, 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putLe(bytes, 16, 4);        // format chunk size
  putLe(bytes, 1, 2);         // PCM
  putLe(bytes, 1, 2);         // mono
  putLe(bytes, RATE, 4);      // frames per second
  putLe(bytes, RATE * 2, 4);  // bytes per second
  putLe(bytes, 2, 2);         // bytes per frame
  putLe(bytes, 16, 2);        // bits per sample
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  putLe(bytes, dataBytes, 4);
  for (float s : samples) {
    long v = std::lround(double(s) * 32767.0);
    v = std::max(-32768L, std::min(32767L, v));
    putLe(bytes, uint32_t(int16_t(v)) & 0xffffu, 2);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = checkFolderArgument(argc, argv, "sound_maker", "OUTPUT_FOLDER", USAGE); status >= 0)
    return status;
  std::filesystem::path folder(argv[1]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  struct {
    const char* name;
    std::vector<float> (*make)();
  } sounds[] = {{"bgm_main.wav", titleTune},
                {"bgm_game.wav", gameTune},
                {"move.wav", steeringWhoosh},
                {"crash.wav", crash}};
  for (const auto& sound : sounds) {
    if (!writeWave(folder / sound.name, sound.make())) {
      std::fprintf(stderr, "sound_maker: cannot write %s\n", (folder / sound.name).c_str());
      return 1;
    }
  }
  return 0;
}
