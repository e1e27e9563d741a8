#pragma once
// A record buffer of a table file or table view (anything with NewRecordBuffer/DisposeRecordBuffer),
// disposed when the scope ends, also when an error passes through it.

template <typename Owner>
class ScopedRecordBuffer {
 public:
  explicit ScopedRecordBuffer(Owner& owner) : owner_(owner), buffer_(owner.NewRecordBuffer()) {}
  ~ScopedRecordBuffer() { owner_.DisposeRecordBuffer(buffer_); }
  ScopedRecordBuffer(const ScopedRecordBuffer&) = delete;
  ScopedRecordBuffer& operator=(const ScopedRecordBuffer&) = delete;
  char* Get() const { return buffer_; }

 private:
  Owner& owner_;
  char* buffer_;
};
