// plot IMAGE --kind histogram|timing|disk [--track T] [--revolution R] -o FILE:
// a track's flux histogram or timing plot, or a picture of the whole disk,
// written as SVG or PNG by the output's extension.
#include <iostream>
#include <string>

#include "app/cli/cli.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "plot/disk_picture.h"
#include "plot/plot_file.h"
#include "plot/track_plots.h"

namespace velloran::cli {

namespace {

constexpr int kTrackPlotWidth = 1000, kTrackPlotHeight = 420;
constexpr int kDiskPictureWidth = 1000, kDiskPictureHeight = 560;

// Why a track has no flux to plot, or empty when it has.
std::string NoFluxReason(const TrackSource& source) {
  const std::string track = std::to_string(source.track);
  switch (source.kind) {
    case TrackSourceKind::Flux:
      if (source.flux->sampleClock <= 0) return MessageText(MessageId::PlotNoSampleClock, {track});
      return {};
    case TrackSourceKind::Absent: return MessageText(MessageId::PlotTrackAbsent, {track});
    case TrackSourceKind::RawTrack:
    case TrackSourceKind::NoRawTrack: break;
  }
  return MessageText(MessageId::PlotNoFlux, {track});
}

}  // namespace

int RunPlot(const std::vector<std::string>& words) {
  const std::string usage = MessageText(
      MessageId::CliUsage, {"plot IMAGE --kind histogram|timing|disk [--track T] [--revolution R] -o FILE.svg|.png"});
  std::vector<std::string> rest = words;
  std::string error;
  const std::optional<std::string> output = TakeShortOption(rest, "-o", error);
  if (!error.empty()) return Fail(error);
  const Arguments args(rest, {"kind", "track", "revolution"});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({"kind", "track", "revolution"}); !unknown.empty())
    return Fail(MessageText(MessageId::CliUnknownOption, {unknown}));
  const std::optional<std::string> kind = args.Value("kind");
  if (args.Positional().size() != 1 || !output || !kind) return Fail(usage);
  if (*kind != "histogram" && *kind != "timing" && *kind != "disk") return Fail(MessageText(MessageId::PlotKinds));
  if (PlotFileKindOf(PathFromUtf8(*output)) == PlotFileKind::None)
    return Fail(MessageText(MessageId::PlotFileKindNeeded, {*output}));
  std::uint8_t track = 0;
  std::uint8_t revolution = 0;  // 0: all revolutions overlaid
  if (!NumberOption(args, "track", 0, kTrackCount - 1, track, error) ||
      !NumberOption(args, "revolution", 1, 255, revolution, error))
    return Fail(error);

  const std::string& image = args.Positional()[0];
  TZX_Disk disk;
  if (Diagnostic failure; !LoadImage(disk, PathFromUtf8(image), failure)) return Fail(DiagnosticText(failure));

  Scene scene;
  if (*kind == "disk") {
    scene = DiskPictureScene(disk, kDiskPictureWidth, kDiskPictureHeight);
  } else {
    const TrackSource source = PrepareTrackSource(disk, track);
    if (const std::string reason = NoFluxReason(source); !reason.empty()) return Fail(image + ": " + reason);
    const int revolutions = static_cast<int>(SpansOf(*source.flux).spans.size());
    if (revolution > revolutions)
      return Fail(image + ": track " + std::to_string(track) + " holds " + std::to_string(revolutions) +
                  " revolution(s), not " + std::to_string(revolution));
    const int chosen = revolution == 0 ? kAllRevolutions : revolution - 1;
    scene = *kind == "histogram" ? HistogramScene(source, chosen, kTrackPlotWidth, kTrackPlotHeight)
                                 : TimingScene(source, TimingWindow{chosen, 0, 1}, kTrackPlotWidth, kTrackPlotHeight);
  }
  if (!WritePlotFile(scene, PathFromUtf8(*output), error)) return Fail(error);
  return 0;
}

}  // namespace velloran::cli
