// Large blocks of memory for big tables, from the operating-system layer.
#ifndef KESTROVA_OS_MEMORY_H_
#define KESTROVA_OS_MEMORY_H_

#include <cstddef>
#include <utility>

namespace kestrova {

// Zero-filled memory, taken from the system page by page as it is first
// touched, in large pages where the system offers them: a table bigger than
// the processor's caches then costs far fewer page faults and address
// translations. Throws std::bad_alloc when there is no memory left.
class LargeBlock {
 public:
  LargeBlock() = default;
  explicit LargeBlock(size_t bytes);
  LargeBlock(LargeBlock&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  LargeBlock& operator=(LargeBlock&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~LargeBlock();

  void* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace kestrova

#endif  // KESTROVA_OS_MEMORY_H_
