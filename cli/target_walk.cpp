#include "cli/target_walk.h"

#include "cli/error_report.h"
#include "core/search/command_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace cli {

namespace {

constexpr char kIsTheOutput[] = "input file is also the output";

}  // namespace

OwnOutput OwnOutput::OfStandardOutput() {
    OwnOutput output;
    struct stat st {};
    if (::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode)) {
        output.regular_ = true;
        output.device_ = st.st_dev;
        output.inode_ = st.st_ino;
    }
    return output;
}

TargetWalk::TargetWalk(std::vector<std::string> operands, bool recursive, std::vector<std::string> includes,
                       std::optional<OwnOutput> output)
    : operands_(std::move(operands)), recursive_(recursive), includes_(std::move(includes)), output_(output) {}

bool TargetWalk::IsOutput(const struct stat& st) const noexcept {
    return output_ && S_ISREG(st.st_mode) && output_->Is(st.st_dev, st.st_ino);
}

TargetWalk::Step TargetWalk::Next() {
    for (;;) {
        if (folders_.empty()) {
            if (nextOperand_ == operands_.size()) return {};
            if (std::optional<Step> step = Operand(operands_[nextOperand_++])) return *step;
            continue;
        }
        Folder& folder = folders_.back();
        if (folder.next == folder.names.size()) {
            folders_.pop_back();
            continue;
        }
        const std::string& name = folder.names[folder.next++];
        std::string path = folder.path;
        if (!path.empty() && path.back() != '/') path += '/';
        path += name;
        if (std::optional<Step> step = Found(path, name)) return *step;
    }
}

// An operand: a target or a refusal, or nothing (a folder entered, or a file
// that --include leaves out).
std::optional<TargetWalk::Step> TargetWalk::Operand(const std::string& operand) {
    struct stat st {};
    if (operand == "-") {
        if (::fstat(STDIN_FILENO, &st) == 0 && IsOutput(st)) {
            return Step{Step::Refused, kStandardInputName, kIsTheOutput, true};
        }
        return Step{Step::Target, core::StandardInputTarget(kStandardInputName), {}};
    }
    // The empty operand: the working folder, whose files are named as
    // relative paths.
    if (operand.empty()) {
        if (::stat(".", &st) != 0) return Step{Step::Refused, ".", SystemErrorMessage(errno)};
        return Enter(operand, st.st_dev, st.st_ino);
    }
    // Anything else goes to the search as it is, which reports what it can't
    // read. As in grep, --include holds for the files named here too.
    const bool exists = ::stat(operand.c_str(), &st) == 0;
    if (exists && recursive_ && S_ISDIR(st.st_mode)) {
        return Enter(operand, st.st_dev, st.st_ino);
    }
    if (!Included(operand.substr(operand.find_last_of('/') + 1))) return std::nullopt;
    if (exists && IsOutput(st)) return Step{Step::Refused, operand, kIsTheOutput, true};
    return Step{Step::Target, operand, {}};
}

// A name found in a folder: a regular file (through a link too) is a target
// when it is included; a folder is walked unless it was already; FIFOs,
// devices and sockets are no text files and are passed over (nothing).
std::optional<TargetWalk::Step> TargetWalk::Found(const std::string& path, const std::string& name) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Step{Step::Refused, path, SystemErrorMessage(errno)};
    if (S_ISDIR(st.st_mode)) return Enter(path, st.st_dev, st.st_ino);
    if (!S_ISREG(st.st_mode) || !Included(name)) return std::nullopt;
    if (IsOutput(st)) return Step{Step::Refused, path, kIsTheOutput, true};
    return Step{Step::Target, path, {}};
}

std::optional<TargetWalk::Step> TargetWalk::Enter(const std::string& path, dev_t device, ino_t inode) {
    // A folder reached again, through a link or a loop, is not walked again.
    if (!visited_.emplace(device, inode).second) return std::nullopt;
    const std::string shown = path.empty() ? "." : path;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(shown.c_str()), ::closedir);
    if (!dir) return Step{Step::Refused, shown, SystemErrorMessage(errno)};
    Folder folder{path, {}, 0};
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") folder.names.emplace_back(name);
        errno = 0;
    }
    if (errno != 0) return Step{Step::Refused, shown, SystemErrorMessage(errno)};
    std::sort(folder.names.begin(), folder.names.end());
    folders_.push_back(std::move(folder));
    return std::nullopt;
}

bool TargetWalk::Included(const std::string& name) const {
    if (includes_.empty()) return true;
    return std::any_of(includes_.begin(), includes_.end(),
                       [&](const std::string& glob) { return ::fnmatch(glob.c_str(), name.c_str(), 0) == 0; });
}

}  // namespace cli
