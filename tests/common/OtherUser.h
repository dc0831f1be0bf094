#pragma once

#include <sys/types.h>
#include <unistd.h>

// Acts as the user and group "nobody" while it lives. File modes do not stop
// root, so a folder without write right needs another user to mean anything.
// Only a process started as root can switch; Switched() says whether it did.
class OtherUser {
  public:
    static constexpr uid_t Nobody = 65534;

    OtherUser() {
        switched_ = ::geteuid() == 0 && ::setegid(Nobody) == 0 && ::seteuid(Nobody) == 0;
    }
    ~OtherUser() {
        if (!switched_) return;
        // The saved user id is still root, so the way back is open.
        [[maybe_unused]] const int user = ::seteuid(0);
        [[maybe_unused]] const int group = ::setegid(0);
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool Switched() const { return switched_; }

  private:
    bool switched_ = false;
};
