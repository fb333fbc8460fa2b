// The story's events as the journals of each protocol record them: event codes and
// data bytes from the shipped vocabularies, the rings of versions 0 and 1, the version-0
// stop journal, the trace journals and the records of the version-2 journal image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "story.h"

namespace kalmet::sessiongen {

// One event journal record of any protocol.
struct TEventRecord {
  TDateTime time = 0;
  uint16_t code = 0;
  uint16_t index = 0;              // variable of a parameter change (versions 0 and 1)
  uint32_t before = 0, after = 0;  // its values
  std::string data;                // extended data bytes
  const TStoryEvent* event = nullptr;
};

// One trace journal record of versions 0 and 1.
struct TTraceRecord {
  TDateTime time = 0;
  uint16_t code = 0;
  uint16_t index = 0;
  uint8_t priority = 0;
};

// The variable that holds a setting on controllers of the protocol.
uint16_t SettingVariable(int protocol, int setting);

// Journal records of versions 0 and 1 (trace-only events left out), and trace records.
std::vector<TEventRecord> EventRecords01(const TStory& story, int protocol);
std::vector<TTraceRecord> TraceRecords01(const TStory& story, int protocol);
// Records of the version-2 journal, trace-only records included (graph records apart).
std::vector<TEventRecord> EventRecords2(const TStory& story);

// The stop value that the vocabularies give a code: 0 event, 1 motor stop, 2 start,
// 3 power off, 4 power on.
int StopValue(int protocol, uint16_t code);
// Version 2: shown in the journal (group 13), in the trace (group 14).
bool InJournal2(uint16_t code);
bool InTrace2(uint16_t code);

// The ring variables. Each keeps the newest records that fit (255 and 1000 slots) and
// returns, in kept, the records written, oldest first.
std::string EventJournal0(const std::vector<TEventRecord>& records,
                          std::vector<TEventRecord>* kept);
std::string EventJournal1(const std::vector<TEventRecord>& records,
                          std::vector<TEventRecord>* kept);
// The version-0 stop journal for the stops among records (the newest 255).
std::string StopJournal0(const std::vector<TEventRecord>& records);
// The name the version-0 stop table gives a protection trip's reason.
std::string StopReasonName0(TEventKind kind);
// The trace variable with a code width of 1 (version 0) or 2 (version 1).
std::string TraceJournal(const std::vector<TTraceRecord>& records, int width);

}  // namespace kalmet::sessiongen
