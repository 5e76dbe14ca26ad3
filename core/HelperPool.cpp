// The helper threads that divisor searches share, started as searches first
// need them and joined when the process exits.
#include "core/HelperPool.h"

#include "core/OrderedSearch.h"
#include "core/ThreadName.h"

HelperPool::~HelperPool()
{
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    wake_.notify_all();
    for (std::thread &thread : threads_)
        thread.join();
}

void HelperPool::Offer(const std::shared_ptr<OrderedSearch> &search, int helpers)
{
    {
        std::lock_guard lock(mutex_);
        while (int(threads_.size()) < helpers)
            threads_.emplace_back(&HelperPool::Serve, this);
        offers_.push_back({search, helpers});
    }
    wake_.notify_all();
}

void HelperPool::Withdraw(const std::shared_ptr<OrderedSearch> &search)
{
    std::lock_guard lock(mutex_);
    std::erase_if(offers_, [&](const Offered &offer) { return offer.search == search; });
}

void HelperPool::Serve()
{
    NameThisThread("tvr-divide");
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quitting_ || !offers_.empty(); });
        if (quitting_)
            return;
        std::shared_ptr<OrderedSearch> search = offers_.front().search;
        if (--offers_.front().helpers == 0)
            offers_.erase(offers_.begin());
        lock.unlock();
        search->Help();
        search.reset();
        lock.lock();
    }
}
