#pragma once
// The four stream parsers: each reads one received frame (the text from "{" up
// to and including the CR of its line end) and hands its records to the sink.
// Every parser works on its own copy of the frame's body, so a handler that
// stops the run or changes the component's frame text cannot disturb it.
#include <string_view>

#include "devicelink/records/StreamContext.h"

namespace pel::records {

// Normal stream: one record per frame, one value per channel in frame order.
// Values beyond the eighth are not written, but every field must be a number:
// one that is not ends the frame without a record.
//
// With AutoStop every parser tests the planned count (NoOfData) before it
// builds a record, so no record numbered above it is delivered; only the
// normal stream of a zero-setting run is not bound by the plan.
void ParseAnalogFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink);

// Fast stream of models other than 5 and 7: every field is one sample of the
// fast channel.
void ParseFastSingleFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink);

// Fast stream of models 5 and 7: one field per active channel and sample, in
// channel order. A frame is dropped when no channel is active.
void ParseFastBlockFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink);

// Timing stream: gate characters "0"/"1" of the digital channel, one per
// millisecond, at most 72 per frame.
void ParseTimingFrame(StreamContext& ctx, std::string_view frame, RecordSink& sink);

// Delivers "<n>,<ticks * 0.001 as %10.6f>;" when ticks > 0; always clears the
// channel's edge count and tick timer. False when the delivery ended the run
// or the planned count was reached before it.
bool EmitTimingRecord(StreamContext& ctx, int k, double ticks, RecordSink& sink);

// The receive handler's dispatch for ExperimentMode 1, 2 and 3 by the frame's
// length (CR included), followed by the loop-count rule. fastQorOverCom makes a
// Qor count as a fast-block model (the ActiveX library's COM path). Returns
// false, touching nothing, for any other ExperimentMode.
bool DispatchStreamFrame(int experimentMode, StreamContext& ctx, std::string_view frame,
                         RecordSink& sink, bool fastQorOverCom = false);

}  // namespace pel::records
