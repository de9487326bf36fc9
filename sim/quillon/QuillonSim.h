#pragma once
// Simulated measurement interface speaking the high-speed program's dialect:
// commands "S{code,args}" without line end; text replies between brackets
// ended by CR LF, and XOR-checked binary sample frames. Free of any I/O: feed
// it the bytes the host sent, take the bytes it answers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::sim {

enum class Model { Aster, Sorn };

struct SimBuffer {
  bool used = false;
  int msInterval = 0;
  int fastInterval = 0;
  int sensor[3] = {0, 0, 0};
  std::vector<std::int32_t> samples;  // raw values (value * 10000)
};

struct SimFaults {
  int wrongCheckFrames = 0;      // the next n frames carry a wrong check byte
  int badHeaderFrames = 0;       // the next n frames announce count 00 (odd) or 31 (even)
  bool noiseBeforeReplies = false;  // stray bytes before every reply's bracket
  bool silent = false;           // answers nothing
  bool unsolicitedLines = false; // a status line nobody asked for after every frame
  bool lineEndSamples = false;   // buffers set from now on hold samples whose bytes read "}" CR LF / "]" CR LF
};

class QuillonSim {
 public:
  explicit QuillonSim(Model model = Model::Aster);

  // Bytes from the host; replies are appended to the output. Only commands
  // are taken: "S{", numbers (plain decimal, no leading zeros or blanks)
  // separated by ",", then "}". Anything else, a line end or a stray byte
  // between commands included, is rejected unanswered and logged.
  void Feed(const std::uint8_t* bytes, std::size_t count);
  void Feed(const std::string& s) { Feed(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); }
  // Takes everything answered so far.
  std::string TakeOutput();
  // Queues bytes as if the interface sent them unasked.
  void Inject(const std::string& bytes) { out_ += bytes; }

  // A finished capture (as after "S{80,1}") appears at once unless held.
  void SetHoldCapture(bool hold) { holdCapture_ = hold; }
  // Ends a held capture: stores the buffer and sends its info line.
  void FinishCapture();

  SimBuffer& Buffer(int number) { return buffers_[static_cast<std::size_t>(number - 1)]; }
  void SetBuffer(int number, int msInterval, int fastInterval, int a, int b, int c, int count);
  void SetSornExperiment(int msInterval, int fastInterval, int a, int b, int c, int blocks);
  SimFaults& Faults() { return faults_; }
  const std::vector<std::string>& Commands() const { return commands_; }
  // What was rejected, in order: each command-like text that is none, and
  // each run of bytes between commands.
  std::vector<std::string> Rejected() const;
  bool Running() const { return running_; }
  int CaptureSamples() const { return captureSamples_; }

  // Value stored at a sample: a known pattern so downloads can be checked.
  static std::int32_t PatternRaw(int buffer, int index) { return (buffer * 1000 + index % 997) * 10 - 5000; }

 private:
  void Reject(std::string text);
  void Handle(const std::string& body);
  void Reply(const std::string& line);
  void SendFrame(const std::vector<std::int32_t>& raw, bool sorn);
  std::string BufferInfoLine(const SimBuffer& b) const;
  std::string ExperimentInfoLine() const;

  Model model_;
  std::array<SimBuffer, 16> buffers_{};
  SimBuffer sorn_;
  int sornBlocks_ = 0;
  int setupChannel_ = 1;
  int setupCount_ = 1;
  bool running_ = false;
  bool holdCapture_ = false;
  int captureSamples_ = 300;
  int downloadBuffer_ = 0;
  int expectedNext_ = -1;
  SimFaults faults_;
  std::string in_;
  std::string out_;
  std::vector<std::string> commands_;
  std::vector<std::string> rejected_;
  std::string stray_;  // bytes since the last command that start none
};

// Appends an Aster frame ("{NN," samples check "}" CR LF) or a Sorn frame
// ("[05,NN," samples check "]" CR LF) for the raw values.
std::string EncodeFrame(const std::vector<std::int32_t>& raw, bool sorn, bool wrongCheck = false);

}  // namespace quillon::sim
