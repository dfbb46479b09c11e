#include "app/cli/rescue_report.h"

#include "app/cli/json.h"

namespace velloran::cli {

namespace {

const char* StateName(SectorState state) {
  switch (state) {
    case SectorState::Good: return "good";
    case SectorState::Voted: return "voted";
    case SectorState::Bad: return "bad";
    case SectorState::NoData: return "no data";
  }
  return "bad";
}

template <typename Item, typename Write>
std::string JsonArray(const std::vector<Item>& items, Write write) {
  std::string json = "[";
  for (std::size_t i = 0; i < items.size(); ++i) json += (i > 0 ? "," : "") + write(items[i]);
  return json + "]";
}

}  // namespace

std::string RescueReportJson(const MergeReport& report, const std::vector<std::string>& sources,
                             const std::string& sha256) {
  const auto source = [&](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < sources.size()
               ? JsonString(sources[static_cast<std::size_t>(index)])
               : std::string("null");
  };
  const auto origin = [&](const MergeReport::Sector& sector) {
    return sector.input < 0 && sector.revolution >= 0
               ? JsonString("revolution " + std::to_string(sector.revolution + 1))
               : source(sector.input);
  };
  int good = 0;
  std::string tracks = "[";
  for (std::size_t i = 0; i < report.sectors.size(); ++i) {
    const MergeReport::Sector& sector = report.sectors[i];
    good += sector.state == SectorState::Good;
    const bool opens = i == 0 || report.sectors[i - 1].track != sector.track;
    const bool closes = i + 1 == report.sectors.size() || report.sectors[i + 1].track != sector.track;
    if (opens)
      tracks += std::string(i > 0 ? "," : "") + "{\"track\":" + std::to_string(sector.track) + ",\"sectors\":[";
    tracks += std::string(opens ? "" : ",") + "{\"slot\":" + std::to_string(sector.slot) +
              ",\"sector\":" + std::to_string(sector.number) + ",\"state\":\"" + StateName(sector.state) +
              "\",\"source\":" + origin(sector) + ",\"copies\":" + std::to_string(sector.copies) +
              ",\"attempts\":" + std::to_string(sector.attempts) +
              ",\"variant\":" + (sector.way.empty() ? std::string("null") : JsonString(sector.way)) + "}";
    if (closes) tracks += "]}";
  }
  tracks += "]";
  const std::string conflicts = JsonArray(report.conflicts, [&](const MergeConflict& conflict) {
    return "{\"track\":" + std::to_string(conflict.track) + ",\"sector\":" + std::to_string(conflict.sector) +
           ",\"taken\":" + source(conflict.taken) + ",\"others\":" + JsonArray(conflict.others, source) + "}";
  });
  const std::string badTracks = JsonArray(report.BadTracks(), [](int track) { return std::to_string(track); });
  return "{\"sources\":" + JsonArray(sources, [](const std::string& name) { return JsonString(name); }) +
         ",\"sha256\":" + JsonString(sha256) + ",\"good\":" + std::to_string(good) +
         ",\"voted\":" + std::to_string(report.votedSectors) + ",\"bad\":" + std::to_string(report.badSectors) +
         ",\"tracks\":" + tracks + ",\"conflicts\":" + conflicts + ",\"bad_tracks\":" + badTracks + "}\n";
}

}  // namespace velloran::cli
