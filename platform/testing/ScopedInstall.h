#pragma once
// Installs a test double as the process-wide instance of one seam for the lifetime of
// the guard and puts the previous instance back afterwards. Not thread-safe against
// calls that install at the same time; install before starting threads that use it.
namespace platform::testing {

template <class Interface, Interface& (*Current)(), void (*Install)(Interface*)>
class ScopedInstall {
public:
    explicit ScopedInstall(Interface& instance) : previous_(&Current()) { Install(&instance); }
    ~ScopedInstall() { Install(previous_); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    Interface* previous_;
};

}  // namespace platform::testing
