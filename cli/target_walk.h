// The files a command searches, one after another, from its FILE operands:
// "-" as standard input, and with -r the regular files under a folder in
// name order.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// How standard input is named in the output and in messages.
inline constexpr char kStandardInputName[] = "(standard input)";

// The standard output, when it is a regular file: a target that is that
// file would read what the command writes, and never end.
class OwnOutput {
public:
    // Looks at standard output once.
    static OwnOutput OfStandardOutput();
    // Whether the file with this device and inode is the output.
    bool Is(dev_t device, ino_t inode) const noexcept { return regular_ && device == device_ && inode == inode_; }

private:
    bool regular_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

class TargetWalk {
public:
    struct Step {
        enum Kind { Target, Refused, End } kind = End;
        std::string path;     // a target for the search, or the refused one's name
        std::string message;  // why it was refused
        bool file = false;    // the refused one is a file, numbered as a target
    };

    // recursive: a folder among the operands is searched through; includes:
    // globs, one of which a file's name must match (any, when none are
    // given); output: the file no target may be, when given.
    TargetWalk(std::vector<std::string> operands, bool recursive, std::vector<std::string> includes,
               std::optional<OwnOutput> output);

    // The next target, or a file or folder refused with its message, or the end.
    Step Next();

private:
    struct Folder {
        std::string path;
        std::vector<std::string> names;  // in name order
        std::size_t next = 0;
    };

    std::optional<Step> Operand(const std::string& operand);
    std::optional<Step> Found(const std::string& path, const std::string& name);
    // Opens a folder to walk; a refusal when it can't be read.
    std::optional<Step> Enter(const std::string& path, dev_t device, ino_t inode);
    bool Included(const std::string& name) const;
    bool IsOutput(const struct stat& st) const noexcept;

    std::vector<std::string> operands_;
    std::size_t nextOperand_ = 0;
    bool recursive_;
    std::vector<std::string> includes_;
    std::optional<OwnOutput> output_;
    std::vector<Folder> folders_;                // the folders being walked, innermost last
    std::set<std::pair<dev_t, ino_t>> visited_;  // every folder walked, so none twice
};

}  // namespace cli
