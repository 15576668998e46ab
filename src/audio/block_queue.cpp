#include "audio/block_queue.h"

#include <utility>

namespace zt {

void BlockQueue::open(uint16_t channels, WaveDevice::DoneCallback done) {
  std::lock_guard<std::mutex> lock(lock_);
  channels_ = channels > 0 ? channels : 1;
  done_ = std::move(done);
}

void BlockQueue::submit(const uint8_t* block, uint32_t bytes) {
  std::lock_guard<std::mutex> lock(lock_);
  // The mixer's blocks are 16-bit samples, aligned for them.
  queue_.push_back(Block{reinterpret_cast<const int16_t*>(block), bytes / (2u * channels_)});
}

void BlockQueue::close() {
  std::lock_guard<std::mutex> lock(lock_);
  queue_.clear();
  frontOffset_ = 0;
  done_ = nullptr;
}

size_t BlockQueue::size() const {
  std::lock_guard<std::mutex> lock(lock_);
  return queue_.size();
}

}  // namespace zt
