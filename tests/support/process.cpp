// process.cpp: fork, exec, collect, with a time limit.

#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

RunResult RunProgram(const std::vector<std::string>& args,
                     const RunOptions& options) {
  RunResult result;
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(125);
    // The C locale unless the test says otherwise: messages as the
    // program's own bytes.
    setenv("LC_ALL", "C", 1);
    for (const std::string& setting : options.environment)
      putenv(const_cast<char*>(setting.c_str()));
    int null_in = open("/dev/null", O_RDONLY);
    dup2(null_in, 0);
    if (options.close_stdout) {
      close(1);
    } else if (!options.stdout_path.empty()) {
      int fd = open(options.stdout_path.c_str(),
                    O_WRONLY | (options.stdout_append ? O_APPEND : 0));
      if (fd < 0) _exit(126);
      dup2(fd, 1);
    } else {
      dup2(out_pipe[1], 1);
    }
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    std::vector<char*> argv;
    for (const std::string& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());  // a bare name is looked up on PATH
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::seconds(options.timeout_seconds);
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* texts[2] = {&result.out, &result.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      result.timed_out = true;
      break;
    }
    if (poll(fds, 2, static_cast<int>(std::min<long long>(left, 1000))) < 0 &&
        errno != EINTR)
      break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
        continue;
      char buffer[65536];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        texts[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (pollfd& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}
