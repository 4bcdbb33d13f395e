// Small helpers shared by the unit and contract tests: see test_support.h.
#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string test_dir(const std::string &name) {
    const char *root = getenv("PELLMARK_TEST_TMP");
    std::filesystem::path dir = std::filesystem::path(root ? root : "/tmp/pellmark-tests") / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void write_file(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> read_lines(const std::string &path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

void set_env(const char *name, const char *value) {
#if defined(_WIN32)
    // The Windows C runtime has no setenv; an empty value removes the variable.
    _putenv_s(name, value ? value : "");
#else
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}
