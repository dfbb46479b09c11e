// What the core reports to the person using the program: a failure, a
// warning or a note, as a phrase of the message catalogue with its
// arguments and, where it concerns one, the place on the disk. Readers,
// writers and catalog operations hand these to the front ends, which put
// them into words in the chosen language.
#pragma once

#include <iosfwd>
#include <string>

#include "common/language.h"
#include "common/messages.h"

namespace velloran {

enum class Severity {
  Error,    // the operation failed
  Warning,  // it went through, but something is missing or may be wrong
  Info,     // worth knowing, nothing wrong
};

// Where on the disk: a track as the disk counts them (cylinder × 2 + side)
// and the ID number R of a sector; -1 where none is meant.
struct DiskPlace {
  int track = -1;
  int sector = -1;
};

struct Diagnostic {
  Diagnostic() = default;
  Diagnostic(Phrase said, Severity level = Severity::Error, DiskPlace where = {})
      : severity(level), phrase(std::move(said)), place(where) {}
  Diagnostic(MessageId id, std::vector<PhraseArgument> arguments = {}) : phrase{id, std::move(arguments)} {}

  Severity severity = Severity::Error;
  Phrase phrase;
  DiskPlace place;

  bool Empty() const { return phrase.Empty(); }
};

// The phrase with its place before it: "track 3, sector 17: <phrase>",
// "track 3: <phrase>", or the phrase alone.
Phrase PlacedPhrase(const Diagnostic& diagnostic);

// PlacedPhrase in `language`.
std::string RenderDiagnostic(Language language, const Diagnostic& diagnostic);

// RenderDiagnostic in the process's language.
std::string DiagnosticText(const Diagnostic& diagnostic);

// Writes DiagnosticText.
std::ostream& operator<<(std::ostream& out, const Diagnostic& diagnostic);

}  // namespace velloran
