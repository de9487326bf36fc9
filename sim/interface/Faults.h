#pragma once
// Misbehaviour the simulated interface can be told to show, so the host's
// handling of bad peers can be tested.
#include <string>
#include <string_view>
#include <random>
#include <vector>

namespace pel::sim {

enum class Delivery {
  Whole,         // each reply or frame in one write
  ByteByByte,    // one write per byte
  RandomPieces,  // writes of 1 to 8 bytes, lengths from the seed
};

struct Faults {
  bool silent = false;         // commands are logged, nothing is ever sent
  int garbageEvery = 0;        // every n-th line sent is noise without braces (0: none)
  int frameLengthDelta = 0;    // stream frames this many characters too long (or short)
  int closeAfterCommands = 0;  // the n-th line received closes the connection unanswered (0: never)
  int closeAfterFrames = 0;    // a run's n-th stream frame is the last before the close (0: never)
  Delivery delivery = Delivery::Whole;
  unsigned seed = 1;           // for random pieces and noise
  int pieceGapMicros = 2000;   // pause between pieces, so they arrive as separate reads
  // Memory and scope data blocks, counted from 1 since the faults were set:
  // these carry a wrong check byte ...
  std::vector<int> wrongCheckBlocks;
  // ... and after this many the box falls silent (0: never).
  int silentAfterBlocks = 0;
  // This block (0: none) goes out lateBlockMs late; what the box sends after
  // it waits behind it and follows it reply by reply, heldReplyGapMs apart,
  // as a box working through its queued requests would.
  int lateBlock = 0;
  int lateBlockMs = 900;
  int heldReplyGapMs = 40;
  // Scope reads give "{00}" until the whole buffer is sampled.
  bool scopeEmptyUntilFull = false;
};

// Cuts outgoing bytes into the writes the delivery mode asks for.
class PieceCutter {
 public:
  explicit PieceCutter(unsigned seed) : rng_(seed) {}
  void reseed(unsigned seed) { rng_.seed(seed); }
  std::vector<std::string> cut(std::string_view bytes, Delivery mode);

 private:
  std::minstd_rand rng_;
};

// A line of printable noise without any brace or bracket, and without CR LF.
std::string noiseLine(std::minstd_rand& rng, std::size_t length = 24);

}  // namespace pel::sim
