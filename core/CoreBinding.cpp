// The threads that share one computation, each kept on a core of its own
// while it lasts.
#include "core/CoreBinding.h"

namespace {

bool BindTo(int core)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(core, &one);
    return sched_setaffinity(0, sizeof one, &one) == 0;
}

} // namespace

CoreBinding::CoreBinding()
{
    HelperCores &c = cores_;
    CPU_ZERO(&c.allowed_);
    if (sched_getaffinity(0, sizeof c.allowed_, &c.allowed_) != 0)
        return;
    c.count_ = CPU_COUNT(&c.allowed_);
    const int core = sched_getcpu();
    if (c.count_ < 2 || core < 0 || core >= CPU_SETSIZE || !CPU_ISSET(core, &c.allowed_))
        return;
    if (BindTo(core))
        c.core_ = core;
}

CoreBinding::~CoreBinding()
{
    if (cores_.core_ >= 0)
        (void)sched_setaffinity(0, sizeof cores_.allowed_, &cores_.allowed_);
}

void HelperCores::Bind(int index) const
{
    if (count_ == 0)
        return;
    if (core_ < 0) {
        (void)sched_setaffinity(0, sizeof allowed_, &allowed_);
        return;
    }
    // The allowed cores other than the leading thread's, from the one after
    // it round to the one before it.
    int step = index % (count_ - 1);
    for (int core = core_ + 1;; ++core) {
        if (core == CPU_SETSIZE)
            core = 0;
        if (core == core_ || !CPU_ISSET(core, &allowed_))
            continue;
        if (step-- == 0) {
            (void)BindTo(core);
            return;
        }
    }
}
