// The simulated machine kept in a state folder, shared like a real spooler by every process of
// the user: machine.txt in a readable text form, each job's data in jobs/<id>.dat, a lock file
// held around each call, and changes written atomically (a new file renamed over the old).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/sim/sim.h"

namespace sim::detail {

// The machine's text form and back. Parse fails with a reason on a malformed text.
std::string Serialize(const Machine& machine);
bool Parse(const std::string& text, Machine& machine, std::string& error);

// The state folder: TALLOWIND_SPOOLER_DIR, else $XDG_STATE_HOME/tallowind/spooler, else
// ~/.local/state/tallowind/spooler.
std::filesystem::path StateFolder();

class Store {
  public:
    // Opens (creating if need be) the folder; nothing when it cannot be used.
    static std::optional<Store> Open(const std::filesystem::path& folder);
    Store(Store&& other) noexcept;
    Store& operator=(Store&&) = delete;
    ~Store();

    // Takes the folder's lock and brings `machine` up to date with the file, creating the file
    // from the embedded default machine on first use.
    void Begin(Machine& machine);
    // Writes `machine` back if it changed, then releases the lock.
    void End(const Machine& machine);

    const std::filesystem::path& folder() const { return folder_; }

  private:
    Store(std::filesystem::path folder, int lockFd);
    void RemoveLeftovers();
    void Load(Machine& machine);
    void Save(const Machine& machine);

    std::filesystem::path folder_;
    int lockFd_ = -1;
    std::string loadedText_;  // machine.txt as this process last read or wrote it
};

}  // namespace sim::detail
