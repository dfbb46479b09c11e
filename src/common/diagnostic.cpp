#include "common/diagnostic.h"

#include <ostream>

namespace velloran {

Phrase PlacedPhrase(const Diagnostic& diagnostic) {
  const DiskPlace& place = diagnostic.place;
  if (place.track < 0) return diagnostic.phrase;
  if (place.sector < 0) return {MessageId::AtTrack, {place.track, diagnostic.phrase}};
  return {MessageId::AtSector, {place.track, place.sector, diagnostic.phrase}};
}

std::string RenderDiagnostic(Language language, const Diagnostic& diagnostic) {
  return RenderPhrase(language, PlacedPhrase(diagnostic));
}

std::string DiagnosticText(const Diagnostic& diagnostic) { return RenderDiagnostic(ProcessLanguage(), diagnostic); }

std::ostream& operator<<(std::ostream& out, const Diagnostic& diagnostic) { return out << DiagnosticText(diagnostic); }

}  // namespace velloran
