#pragma once
// Drives the real engine binary over pipes for end-to-end tests. Each
// instance gets a fresh temporary working directory (so tarn.log and tarn.rc
// belong to one test); the directory is removed on destruction unless it was
// borrowed from another instance.
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

#include "support/scratch_dir.h"

namespace tarn_test {

// True when the engine under test is the Windows build (TARN_BINARY names
// a .exe, run under wine).
bool windows_build();

class EngineProcess {
 public:
  EngineProcess();                                  // new temporary directory
  explicit EngineProcess(const std::string& directory);  // share an existing one
  ~EngineProcess();                                 // kills the engine if still running
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  const std::string& directory() const { return directory_; }
  void write_file(const std::string& name, const std::string& content) const;
  // A text file the engine wrote, CR LF read as LF; empty when missing.
  std::string read_file(const std::string& name) const;
  bool file_exists(const std::string& name) const;

  // Starts the engine with the arguments in the directory: `binary`, else
  // the environment's TARN_BINARY, else the build's own; run through the
  // command in TARN_LAUNCHER (words split at spaces) when that is set.
  bool start(const std::vector<std::string>& args = {}, const std::string& binary = "");

  bool send(const std::string& line);        // the line plus a line feed
  bool send_raw(const std::string& bytes);   // exactly these bytes
  void close_input();                        // end of input for the engine
  void close_output();                       // stop reading: the engine's writes fail

  // Waits for a line that starts with `prefix`; true when one arrived in
  // time, stored in `found`. Lines before it stay in the transcript.
  bool expect_line(const std::string& prefix, double timeout_s = 5.0, std::string* found = nullptr);
  // Lines read until one starts with `prefix` (included) or the time is up.
  std::vector<std::string> read_until(const std::string& prefix, double timeout_s = 5.0);
  // Every line that arrives within the period (or until the output closes).
  std::vector<std::string> read_for(double seconds);

  // Waits for the engine to exit; `status` gets the exit code, or minus the
  // signal number when it was killed. False on time-out.
  bool wait_exit(double timeout_s, int* status);

  // Every line read since start, in order.
  const std::vector<std::string>& transcript() const { return transcript_; }

 private:
  // Reads available output for up to `timeout_ms`; false when it is closed.
  bool pump(int timeout_ms);
  bool take_line(std::string* line);

  std::unique_ptr<ScratchDir> scratch_;  // the directory when it is the instance's own
  std::string directory_;
  pid_t pid_ = -1;
  int to_engine_ = -1;
  int from_engine_ = -1;
  bool output_closed_ = false;
  int exit_status_ = 0;
  bool exited_ = false;
  std::string pending_;
  std::vector<std::string> transcript_;
};

}  // namespace tarn_test
