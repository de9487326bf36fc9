#pragma once
// The host side of a wire to the simulator in tests: a plain Winsock client
// or a COM port, with a line reader over either.
#include <chrono>
#include <memory>
#include <string>

namespace pel::sim::test {

class Wire {
 public:
  virtual ~Wire() = default;
  virtual bool write(const std::string& bytes) = 0;
  // Bytes that arrive within the wait: >0 count, 0 none, -1 link closed.
  virtual int read(char* buf, int size, std::chrono::milliseconds wait) = 0;

  // The next line without its CR LF; empty when none completes in time.
  std::string readLine(std::chrono::milliseconds wait);
  // Exactly n bytes (binary blocks); fewer when the wait runs out first.
  std::string readExactly(std::size_t n, std::chrono::milliseconds wait);
  // Everything that arrives until the wire has been quiet for `quiet`.
  std::string drain(std::chrono::milliseconds quiet);
  bool closedWithin(std::chrono::milliseconds wait);
  int reads() const { return reads_; }  // reads that brought bytes

 private:
  std::string pending_;
  int reads_ = 0;
};

std::unique_ptr<Wire> connectTcp(unsigned short port);  // null when refused
std::unique_ptr<Wire> openCom(int portNumber);           // null when it cannot be opened

}  // namespace pel::sim::test
