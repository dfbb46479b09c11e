// convert --to FORMAT FILE... -d DIR: converts many files at once, one job
// per file, on kThreadsPerCore threads per core: a save waits for the disk
// to hold its file (fsync) before the rename, and meanwhile the other threads
// keep the cores busy and their waits overlap. Each job loads its
// file into a disk of its own and saves it as DIR/<stem>.<extension of
// FORMAT>; nothing is shared between the jobs but the job list. Ctrl+C lets
// the jobs under way finish and starts no more.
#include <atomic>
#include <charconv>
#include <csignal>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

#include "app/cli/cli.h"
#include "common/file_io.h"
#include "common/messages.h"
#include "common/system.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"

namespace velloran::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxJobs = 1024;
constexpr int kThreadsPerCore = 4;

struct BatchJob {
  fs::path input;
  fs::path output;
  std::string error;               // why the job failed or was refused
  std::vector<std::string> notes;  // the reader's notices and what --lossy let go
  bool done = false;               // converted, failed or refused; false = not started
};

// Set by Ctrl+C, read by every worker thread: a lock-free atomic serves both.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// The first Ctrl+C asks the batch to stop; a second one ends the program.
extern "C" void OnBatchInterrupt(int) {
  stopRequested = true;
  std::signal(SIGINT, SIG_DFL);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The format to write, named by its key in any case ("udi", "UDI").
const ImageFormat* TargetFormat(const std::string& name, std::string& error) {
  const ImageFormat* format = FindFormat(Upper(name));
  if (format != nullptr && format->save != nullptr) return format;
  std::string formats;
  for (const auto& known : ImageFormats())
    if (known.save != nullptr) formats.append(" ").append(known.key);
  error = MessageText(MessageId::CliUnknownFormat, {name, formats});
  return nullptr;
}

// --jobs N, or kThreadsPerCore jobs per core.
bool ThreadCount(const Arguments& args, int& count, std::string& error) {
  const auto text = args.Value("jobs");
  if (!text) {
    count = kThreadsPerCore * std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return true;
  }
  const auto [end, problem] = std::from_chars(text->data(), text->data() + text->size(), count);
  if (problem == std::errc{} && end == text->data() + text->size() && count >= 1 && count <= kMaxJobs) return true;
  error = MessageText(MessageId::CliNumberRange, {"--jobs", "1", std::to_string(kMaxJobs)});
  return false;
}

// The output folder, made when it does not exist yet.
bool PrepareFolder(const fs::path& folder, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (fs::exists(folder, ec)) {
    error = MessageText(MessageId::CliNotAFolder, {PathToUtf8(folder)});
    return false;
  }
  fs::create_directories(folder, ec);
  if (!ec) return true;
  error = MessageText(MessageId::CliCannotCreateFolder, {PathToUtf8(folder), ErrorCodeText(ec)});
  return false;
}

// A path with links and "." and ".." resolved, so that two spellings of one
// file compare equal.
std::string Identity(const fs::path& file) {
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(file, ec);
  return PathToUtf8((ec ? fs::absolute(file, ec) : resolved).lexically_normal());
}

// One job per input. A job whose output would replace one of the inputs, or
// the output of an earlier job, is refused before anything is written.
std::vector<BatchJob> PlanJobs(const std::vector<std::string>& files, const fs::path& folder,
                               const ImageFormat& target) {
  std::vector<BatchJob> jobs;
  std::map<std::string, std::string> inputs;  // identity -> the input as given
  for (const auto& file : files) {
    const fs::path input = PathFromUtf8(file);
    fs::path output = folder / input.stem();
    output += "." + std::string(target.defaultExtension);
    jobs.push_back({input, output, {}, {}});
    inputs.emplace(Identity(input), file);
  }
  std::map<std::string, const BatchJob*> outputs;  // identity -> the job writing it
  for (auto& job : jobs) {
    const std::string output = Identity(job.output);
    if (const auto input = inputs.find(output); input != inputs.end()) {
      job.error = MessageText(MessageId::CliOutputReplacesInput,
                              {PathToUtf8(job.input), PathToUtf8(job.output), input->second});
    } else if (const auto earlier = outputs.find(output); earlier != outputs.end()) {
      job.error = MessageText(MessageId::CliOutputTakenTwice,
                              {PathToUtf8(job.input), PathToUtf8(job.output), PathToUtf8(earlier->second->input)});
    } else {
      outputs.emplace(output, &job);
    }
  }
  return jobs;
}

// Counts finished jobs and shows them: on a terminal one progress bar redrawn
// in place, otherwise one plain line per finished file. Called from every
// worker thread.
class BatchProgress {
 public:
  explicit BatchProgress(std::size_t total) : total_(total), terminal_(StandardErrorIsTerminal()) {}

  void Finished(const BatchJob& job) {
    const std::lock_guard lock(mutex_);
    ++done_;
    // Standard error is unbuffered: each line goes out in one piece.
    std::string line;
    if (terminal_)
      line = Bar(PathToUtf8(job.input.filename()));
    else if (job.error.empty())
      line = Counter() + PathToUtf8(job.input) + " -> " + PathToUtf8(job.output) + "\n";
    else
      line = Counter() + MessageText(MessageId::CliBatchFailed, {job.error}) + "\n";
    std::cerr << line << std::flush;
  }

  // Ends the bar's line so that what follows starts on a line of its own.
  void End() {
    if (terminal_ && done_ > 0) std::cerr << '\n';
  }

 private:
  static constexpr std::size_t kBarWidth = 30;
  static constexpr std::size_t kNameWidth = 32;

  std::string Counter() const {
    std::string counter = "[";
    counter.append(std::to_string(done_)).append("/").append(std::to_string(total_)).append("] ");
    return counter;
  }

  // The bar, drawn over the previous one, and the file that just finished.
  std::string Bar(const std::string& name) const {
    const std::size_t filled = kBarWidth * done_ / total_;
    return "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + Counter() +
           Shortened(name) + "\033[K";
  }

  // At most kNameWidth characters of a UTF-8 name, so that the bar stays on
  // one line; a cut name ends in "...".
  static std::string Shortened(const std::string& name) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
      if ((static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) continue;
      if (++characters > kNameWidth - 3) return name.substr(0, i) + "...";
    }
    return name;
  }

  std::mutex mutex_;
  std::size_t total_;
  std::size_t done_ = 0;
  bool terminal_;
};

// Runs the jobs on `threads` threads; each takes the next job not yet taken.
void RunJobs(std::vector<BatchJob>& jobs, int threads, const ImageFormat& target, const SaveOptions& options,
             BatchProgress& progress) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < jobs.size() && !stopRequested; i = next++) {
      BatchJob& job = jobs[i];
      if (job.error.empty()) {
        try {
          std::string error;
          if (!ConvertFile(job.input, job.output, target, options, error, job.notes)) job.error = error;
        } catch (const std::exception& e) {
          job.error = PathToUtf8(job.input) + ": " + e.what();
        }
      }
      job.done = true;
      progress.Finished(job);
    }
  };
  std::vector<std::thread> workers;
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(threads), jobs.size());
  stopRequested = false;
  const auto previous = std::signal(SIGINT, OnBatchInterrupt);
  for (std::size_t t = 0; t < count; ++t) workers.emplace_back(work);
  for (auto& worker : workers) worker.join();
  std::signal(SIGINT, previous);
}

}  // namespace

// Converts every FILE into DIR, then prints each failure on standard error
// and a summary on standard output; exits with 1 when any file failed or was
// left out after Ctrl+C.
int RunBatchConvert(const Arguments& args, const std::optional<std::string>& folder) {
  if (const auto unknown = args.UnknownOption(WithWriterOptions({"to", "jobs"})); !unknown.empty())
    return Fail(MessageText(MessageId::CliUnknownOption, {unknown}));
  const auto targetName = args.Value("to");
  if (!targetName || !folder || args.Positional().empty())
    return Fail(MessageText(MessageId::CliUsage, {kBatchConvertUsage}));
  std::string error;
  const ImageFormat* target = TargetFormat(*targetName, error);
  if (target == nullptr) return Fail(error);
  int threads = 1;
  if (!ThreadCount(args, threads, error)) return Fail(error);
  if (!PrepareFolder(PathFromUtf8(*folder), error)) return Fail(error);

  std::vector<BatchJob> jobs = PlanJobs(args.Positional(), PathFromUtf8(*folder), *target);
  BatchProgress progress(jobs.size());
  KeepFreedMemory();  // each job's disk and file reuse the memory of the jobs before
  {
    // Synced once when it ends, before the summary says the files are saved.
    const SaveBatchFolder batchFolder(PathFromUtf8(*folder));
    RunJobs(jobs, threads, *target, SaveOptionsOf(args), progress);
  }
  progress.End();

  std::size_t failed = 0;
  std::size_t leftOut = 0;
  for (const auto& job : jobs) {
    for (const auto& note : job.notes) std::cerr << "velloran-cli: " << note << '\n';
    if (!job.done) {
      ++leftOut;
    } else if (!job.error.empty()) {
      ++failed;
      std::cerr << "velloran-cli: " << job.error << '\n';
    }
  }
  std::cout << MessageText(MessageId::CliBatchSummary,
                           {std::to_string(jobs.size() - failed - leftOut), std::to_string(failed)});
  if (leftOut > 0) std::cout << MessageText(MessageId::CliBatchLeftOut, {std::to_string(leftOut)});
  std::cout << '\n';
  return failed == 0 && leftOut == 0 ? 0 : 1;
}

}  // namespace velloran::cli
