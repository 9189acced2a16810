#include "engine_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarn_test {

namespace {

double now_seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int remaining_ms(double deadline) {
  double left = deadline - now_seconds();
  return left <= 0 ? 0 : static_cast<int>(left * 1000) + 1;
}

// The engine binary and the words of the command that starts it. The
// Windows build is tested by pointing TARN_BINARY at tarn.exe and
// TARN_LAUNCHER at wine (and the pipe relay).
std::vector<std::string> engine_command(const std::string& binary) {
  std::vector<std::string> words;
  const char* launcher = std::getenv("TARN_LAUNCHER");
  std::istringstream split(launcher ? launcher : "");
  for (std::string word; split >> word;) words.push_back(word);
  const char* chosen = std::getenv("TARN_BINARY");
  words.push_back(!binary.empty() ? binary : chosen && *chosen ? chosen : TARN_BINARY);
  return words;
}

// Only the programs labelled "process" run again against the Windows
// build; a test that starts the engine from another program would be
// missed there.
void check_test_program() {
  const std::string program = program_invocation_short_name;
  if (!program.ends_with("_process_tests"))
    ADD_FAILURE() << program << " starts the engine: include support/engine_process.h in the test file "
                  << "itself (and run cmake again) so that the test lands in a *_process_tests program";
}

}  // namespace

bool windows_build() {
  const char* binary = std::getenv("TARN_BINARY");
  return binary && std::string_view(binary).ends_with(".exe");
}

EngineProcess::EngineProcess() : scratch_(std::make_unique<ScratchDir>(false)), directory_(scratch_->str()) {}

EngineProcess::EngineProcess(const std::string& directory) : directory_(directory) {}

EngineProcess::~EngineProcess() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (to_engine_ >= 0) close(to_engine_);
  if (from_engine_ >= 0) close(from_engine_);
}

void EngineProcess::write_file(const std::string& name, const std::string& content) const {
  std::ofstream out(directory_ + "/" + name, std::ios::binary);
  out << content;
}

std::string EngineProcess::read_file(const std::string& name) const {
  std::ifstream in(directory_ + "/" + name, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // The Windows build writes its text files with CR LF line ends.
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

bool EngineProcess::file_exists(const std::string& name) const {
  return access((directory_ + "/" + name).c_str(), F_OK) == 0;
}

bool EngineProcess::start(const std::vector<std::string>& args, const std::string& binary) {
  // A write to an engine that has died must fail, not kill the test.
  signal(SIGPIPE, SIG_IGN);
  check_test_program();
  std::vector<std::string> command = engine_command(binary);
  int input[2], output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return false;  // out of descriptors: the test fails anyway
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  std::string error_path = directory_ + "/.stderr";

  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    int error_fd = open(error_path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (error_fd >= 0) dup2(error_fd, STDERR_FILENO);
    for (int pipe_end : {input[0], input[1], output[0], output[1]}) close(pipe_end);
    if (chdir(directory_.c_str()) != 0) _exit(127);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  to_engine_ = input[1];
  from_engine_ = output[0];
  fcntl(to_engine_, F_SETFL, O_NONBLOCK);
  fcntl(from_engine_, F_SETFL, O_NONBLOCK);
  return true;
}

bool EngineProcess::send(const std::string& line) { return send_raw(line + "\n"); }

bool EngineProcess::send_raw(const std::string& bytes) {
  if (to_engine_ < 0) return false;
  size_t written = 0;
  double deadline = now_seconds() + 10.0;
  while (written < bytes.size()) {
    ssize_t count = write(to_engine_, bytes.data() + written, bytes.size() - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
      continue;
    }
    if ((count < 0 && errno != EAGAIN && errno != EINTR) || now_seconds() > deadline) return false;
    // The engine may be blocked writing to us: keep its output flowing.
    pump(1);
  }
  return true;
}

void EngineProcess::close_input() {
  if (to_engine_ >= 0) close(to_engine_);
  to_engine_ = -1;
}

void EngineProcess::close_output() {
  if (from_engine_ >= 0) close(from_engine_);
  from_engine_ = -1;
  output_closed_ = true;
}

bool EngineProcess::pump(int timeout_ms) {
  if (output_closed_) return false;
  pollfd request{from_engine_, POLLIN, 0};
  if (poll(&request, 1, timeout_ms) <= 0) return true;
  char buffer[4096];
  for (;;) {
    ssize_t count = read(from_engine_, buffer, sizeof buffer);
    if (count > 0) {
      pending_.append(buffer, static_cast<size_t>(count));
      continue;
    }
    if (count == 0) output_closed_ = true;
    break;
  }
  return !output_closed_;
}

bool EngineProcess::take_line(std::string* line) {
  size_t end = pending_.find('\n');
  if (end == std::string::npos) {
    // Output that ends without a line feed still counts once it is closed.
    if (!output_closed_ || pending_.empty()) return false;
    end = pending_.size();
  }
  *line = pending_.substr(0, end);
  if (!line->empty() && line->back() == '\r') line->pop_back();
  pending_.erase(0, end < pending_.size() ? end + 1 : end);
  transcript_.push_back(*line);
  return true;
}

bool EngineProcess::expect_line(const std::string& prefix, double timeout_s, std::string* found) {
  double deadline = now_seconds() + timeout_s;
  std::string line;
  for (;;) {
    while (take_line(&line)) {
      if (line.compare(0, prefix.size(), prefix) == 0) {
        if (found) *found = line;
        return true;
      }
    }
    int wait = remaining_ms(deadline);
    if (wait == 0 || (output_closed_ && pending_.empty())) return false;
    pump(wait);
  }
}

std::vector<std::string> EngineProcess::read_until(const std::string& prefix, double timeout_s) {
  size_t first = transcript_.size();
  expect_line(prefix, timeout_s);
  return std::vector<std::string>(transcript_.begin() + static_cast<long>(first), transcript_.end());
}

// No line holds a line feed, so nothing ends the wait but the time or the
// end of the output.
std::vector<std::string> EngineProcess::read_for(double seconds) { return read_until("\n", seconds); }

bool EngineProcess::wait_exit(double timeout_s, int* status) {
  double deadline = now_seconds() + timeout_s;
  while (!exited_) {
    int raw = 0;
    pid_t done = pid_ > 0 ? waitpid(pid_, &raw, WNOHANG) : -1;
    if (done == pid_) {
      exited_ = true;
      exit_status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
      break;
    }
    if (done < 0 || now_seconds() > deadline) return false;
    // Keep reading so an engine that prints on its way out never blocks.
    if (!pump(5)) usleep(2000);
  }
  std::string line;
  pump(0);
  while (take_line(&line)) {
  }
  if (status) *status = exit_status_;
  return true;
}

}  // namespace tarn_test
