// The helper threads that divisor searches share, started as searches first
// need them and joined when the process exits.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class OrderedSearch;

// A search offers itself to a number of helpers; each idle helper takes one
// offer and works on it until nothing is left to take. Several searches at
// once simply share the helpers there are.
class HelperPool
{
public:
    HelperPool() = default;
    ~HelperPool();
    HelperPool(const HelperPool &) = delete;
    HelperPool &operator=(const HelperPool &) = delete;

    // Starts helpers until there are `helpers`, and lets that many take part.
    void Offer(const std::shared_ptr<OrderedSearch> &search, int helpers);
    // Takes back what no helper has taken yet of an ended search.
    void Withdraw(const std::shared_ptr<OrderedSearch> &search);

private:
    struct Offered {
        std::shared_ptr<OrderedSearch> search;
        int helpers;
    };

    void Serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::thread> threads_;
    std::vector<Offered> offers_;
    bool quitting_ = false;
};
