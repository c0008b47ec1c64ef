#pragma once
// A small Mapmaker file pair written into a fresh temporary folder, shared by
// the workspace and command-line tests.
//
// The pair: six markers, F6 on no map; map 1 is A1 10 cM B2 0 cM C3 with D4
// placed in interval 1; map 2 is E5 alone (length 0) with an empty placement
// table.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace karvello::test {

inline constexpr const char* kFixtureInput = "data type f2 intercross\n"
                                             "3 6 0 symbols 1=A 2=B 3=H\n"
                                             "# a pair made for the tests\n"
                                             "*A1 ABH\n"
                                             "*B2 ACH\n"
                                             "*C3 AAA\n"
                                             "*D4 HHH\n"
                                             "*E5 BBB\n"
                                             "*F6 BHB\n";

inline constexpr const char* kFixtureOutput =
    "Map:\n"
    "  Markers          Distance\n"
    "    1  A1          10.0 cM\n"
    "    2  B2           0.0 cM\n"
    "    3  C3       ----------\n"
    "                   10.0 cM   3 markers   log-likelihood= -1.00\n"
    "\n"
    "Markers placed relative to above map:\n"
    "           1    2    3\n"
    "          :-10-:--0-:\n"
    "   4 2 ...:.**.:....\n"
    "-------\n"
    "Map:\n"
    "  Markers          Distance\n"
    "    5  E5       ----------\n"
    "\n"
    "Markers placed relative to above map:\n";

// The information text of the fixture pair, byte for byte.
inline constexpr const char* kFixtureInformation = "Unmapped markers:\r\n"
                                                   "=================\r\n"
                                                   "F6\r\n"
                                                   "\r\n"
                                                   "Marker positions (chromosome, position)\r\n"
                                                   "=======================================\r\n"
                                                   "1\t2\tA1\r\n"
                                                   "1\t4\tB2\r\n"
                                                   "1\t6\tC3\r\n"
                                                   "1\t3\tD4\r\n"
                                                   "2\t2\tE5\r\n"
                                                   "0\t0\tF6\r\n";

// A folder of its own for each test, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("karvello-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                      std::filesystem::directory_iterator()));
    }

  private:
    std::filesystem::path path_;
};

} // namespace karvello::test
