#pragma once
// RunSteps: the steps that start and stop a run (the box models' and the USB
// model's start sequences, the fast-mode fall-back, the stored output, the
// stop routine), called from TPelmora's Pelmora.
//
// Ownership and threads: a base of TPelmora alone (main thread); it owns
// nothing beyond LinkIO, and the run's state is LinkCore's runs_.
#include "devicelink/LinkEnvironment.h"
#include "devicelink/LinkIO.h"

namespace pel::link {

class RunSteps : public LinkIO {
 protected:
  RunSteps(LinkFlavour flavour, LinkEnvironment env) : LinkIO(flavour, std::move(env)) {}
  ~RunSteps() = default;

  void StartBoxModel(bool tolemicFamily);
  void StartUsbModel();
  void StartByInputMode(bool tolemicFamily);
  void DigitalModuleCheck();
  void FallBackFromFastMode();
  void SendStoredOutput();
  void StopRun();
  void NoteStartError();
  // SamplingTime, then ExperimentLength := Max_Record_Count x SamplingTime,
  // by the setters' rules.
  void ApplyAcquisitionSetters(double samplingTime);
};

}  // namespace pel::link
