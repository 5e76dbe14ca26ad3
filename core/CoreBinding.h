// The threads that share one computation, each kept on a core of its own
// while it lasts.
#pragma once

#include <sched.h>

// Where the helpers of a computation go: each to one of the allowed cores
// other than the leading thread's. A plain value, so that a helper that
// starts late still has it once the leading thread has moved on.
class HelperCores
{
public:
    // On a helper: binds it to the allowed core `index` places after the
    // leading thread's, counting round and skipping the leading thread's
    // own, or lets it run on every allowed core when nothing is bound.
    void Bind(int index) const;

private:
    friend class CoreBinding;
    int core_ = -1; // the leading thread's core, -1 when nothing is bound
    int count_ = 0; // allowed cores, 0 when they could not be read
    cpu_set_t allowed_{};
};

// A scheduler may run two threads of a computation on one core while
// another core stays idle: a virtual machine that packs its work onto few
// virtual CPUs does so for several milliseconds after the machine was idle.
// The computation then goes no faster than one thread, with the switches
// between them on top. So the leading thread is bound to the core it is
// on, and each helper to another one (HelperCores).
//
// Made on the leading thread, which stays bound for the object's lifetime
// and gets its own set of allowed cores back at the end. Where fewer than
// two cores are allowed, or the sets cannot be read or changed, nothing is
// bound.
class CoreBinding
{
public:
    CoreBinding();
    ~CoreBinding();
    CoreBinding(const CoreBinding &) = delete;
    CoreBinding &operator=(const CoreBinding &) = delete;

    const HelperCores &Helpers() const { return cores_; }

private:
    HelperCores cores_;
};
