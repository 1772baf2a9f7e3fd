// Allocations plus frees per second of the memory pool against the runtime
// heap, for block sizes 8 to 256 and for one and two threads.
#include "base/MemPool.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int kBatch = 256;   // live blocks per round
constexpr int kRounds = 2000; // per thread and measurement
constexpr int kOpsPerThread = kRounds * kBatch * 2;

struct Allocator {
    void* (*alloc)(size_t);
    void (*release)(void*);
};

void* heapAlloc(size_t n) {
    return malloc(n);
}
void heapFree(void* p) {
    free(p);
}
const Allocator kPool = {mp_alloc, mp_free};
const Allocator kHeap = {heapAlloc, heapFree};

// Allocates a batch, touches every block and frees it in an interleaved order.
void churn(const Allocator& a, size_t size) {
    void* blocks[kBatch];
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kBatch; ++i) {
            blocks[i] = a.alloc(size);
            *static_cast<volatile char*>(blocks[i]) = static_cast<char>(i);
        }
        for (int i = 0; i < kBatch; i += 2)
            a.release(blocks[i]);
        for (int i = 1; i < kBatch; i += 2)
            a.release(blocks[i]);
    }
}

double seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Millions of operations (allocations plus frees) per second over all threads.
double measure(const Allocator& a, size_t size, int threads) {
    churn(a, size); // warm up: chunks exist, heap is primed
    double start = seconds();
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back([&a, size] { churn(a, size); });
    churn(a, size);
    for (std::thread& w : workers)
        w.join();
    double elapsed = seconds() - start;
    return static_cast<double>(kOpsPerThread) * threads / elapsed / 1e6;
}

} // namespace

int main() {
    mp_free(mp_alloc(1)); // the pool's one-time set-up happens before a second thread exists
    std::printf("Memory pool against the runtime heap: millions of allocations plus frees per second\n");
    std::printf("(%d live blocks per round, %d rounds per thread)\n\n", kBatch, kRounds);
    std::printf("| block | pool 1 thread | heap 1 thread | pool 2 threads | heap 2 threads |\n");
    std::printf("|------:|--------------:|--------------:|---------------:|---------------:|\n");
    const size_t sizes[] = {8, 16, 24, 32, 48, 64, 96, 128, 160, 192, 224, 256};
    for (size_t size : sizes) {
        double pool1 = measure(kPool, size, 1);
        double heap1 = measure(kHeap, size, 1);
        double pool2 = measure(kPool, size, 2);
        double heap2 = measure(kHeap, size, 2);
        std::printf("| %5u | %13.1f | %13.1f | %14.1f | %14.1f |\n", static_cast<unsigned>(size), pool1,
                    heap1, pool2, heap2);
    }
    return 0;
}
