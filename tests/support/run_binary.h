// Runs the built tool as a child process with exact arguments (no shell) and
// collects its exit status, standard output and standard error.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tinrise::test {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline RunResult run_binary(const std::vector<std::string>& args, const std::string& working_directory = "",
                            const std::string& standard_input = "") {
  char out_path[] = "/tmp/tinrise_out_XXXXXX";
  char err_path[] = "/tmp/tinrise_err_XXXXXX";
  char in_path[] = "/tmp/tinrise_in_XXXXXX";
  const int out_fd = mkstemp(out_path);
  const int err_fd = mkstemp(err_path);
  const int in_fd = mkstemp(in_path);
  if (!standard_input.empty() && write(in_fd, standard_input.data(), standard_input.size()) < 0) std::abort();
  lseek(in_fd, 0, SEEK_SET);
  RunResult result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    if (!working_directory.empty() && chdir(working_directory.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    std::string binary = TINRISE_BINARY;
    argv.push_back(binary.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  close(out_fd);
  close(err_fd);
  close(in_fd);
  result.out = read_whole_file(out_path);
  result.err = read_whole_file(err_path);
  unlink(out_path);
  unlink(err_path);
  unlink(in_path);
  return result;
}

}  // namespace tinrise::test
