// Runs a fuzz target's entry point once on every input file, so that its checked-in
// corpus (and every crash once found and added to it) is replayed by the normal
// tests without libFuzzer. Arguments: files, or folders whose files are all read,
// in name order. An empty corpus is a failure: a target without inputs tests nothing.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code error;
        if (fs::is_directory(arg, error)) {
            for (const fs::directory_entry &entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(arg, error)) {
            inputs.push_back(arg);
        } else {
            std::cerr << argv[i] << ": no such file or folder\n";
            return 2;
        }
    }
    if (inputs.empty()) {
        std::cerr << "no inputs to replay\n";
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const fs::path &path : inputs) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            std::cerr << path.string() << ": cannot be read\n";
            return 2;
        }
        std::cout << path.filename().string() << std::endl;  // names the input of a crash
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::cout << "replayed " << inputs.size() << " inputs\n";
    return 0;
}
