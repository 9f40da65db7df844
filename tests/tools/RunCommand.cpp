#include "tests/tools/RunCommand.h"

namespace {

// All that was written to `f`; closes it.
std::string Contents(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, got);
    std::fclose(f);
    return text;
}

}  // namespace

int RunCommand(const char* program, CommandEntry entry, const std::vector<std::string>& args,
               std::string* out, std::string* err) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    std::FILE* out_file = std::tmpfile();
    std::FILE* err_file = std::tmpfile();
    const int status = entry(static_cast<int>(argv.size()), argv.data(), out_file, err_file);
    *out = Contents(out_file);
    *err = Contents(err_file);
    return status;
}
