// The story as the variables of a controller of protocol 0, 1 or 2: names and versions,
// journals, counters, graphs, start curves, alarm log, setups and measurement slices;
// and the facts the viewer should show for them.
#pragma once

#include <cstdint>

#include "session_content.h"
#include "session_facts.h"
#include "session_writers.h"
#include "story.h"

namespace kalmet::sessiongen {

struct TEncodeOptions {
  int protocol = 1;
  TFileKind kind = TFileKind::kXml;
  int archiveChunk = 48;    // archive graph records per value element
  int64_t labelStart = -1;  // first record number of the version-2 journal; -1: from the seed
};

// Raises std::runtime_error when the story does not fit the protocol's variables.
TSessionContent EncodeSession(const TStory& story, const TEncodeOptions& options,
                              TSessionFacts* facts);

}  // namespace kalmet::sessiongen
