#pragma once
// State of high-speed captures, memory-bank downloads and scope reads, kept
// once per process (in LinkProcessState) and touched on the main thread only.
#include "devicelink/records/BankRecords.h"
#include "devicelink/records/ScopeRecords.h"

// How HighSpeedExperiment starts an Aster capture: by command ("s{80,1}") or
// from the interface's own trigger ("s{83}"); other models take "s{80,1}".
enum class TxHighSpeedRunMode : unsigned char { CommandMode, InterfaceMode };

namespace pel::link {

struct HighSpeedState {
  int channel = 0;  // of HighSpeedSetting, 1 to 8; 0 not chosen (a start uses 1)
  pel::records::BankDirectory directory;
  bool downloadRunning = false;  // cleared by the last block, the bank's limit or LoadMemoryData(false)
  bool downloading = false;      // a LoadMemoryData loop runs
  // Pause after each block request; grows by 1 ms per bad block and is kept
  // from one scope read to the next.
  int blockPause = 0;

  int scopeTimeIndex = 0;      // of the last accepted SetScopeTime
  int lastSentTimeIndex = 0;   // sent after a scope read; the scope start resets it
  pel::records::ScopeColumns scopeColumns;
  bool scopeReading = false;   // a ReadScopeData loop runs; false asks it to stop
};

}  // namespace pel::link
