// Intrusive doubly linked lists that count their members: the views of the
// stack, and any other list the browser keeps of objects that link themselves.
// A list destroyed while it still holds members reports it on the standard
// error stream (the members are not freed: the list does not own them).
#pragma once

#include <cstddef>
#include <cstdio>

namespace tamblor::views {

class ListNode {
 public:
  ListNode() = default;
  ListNode(const ListNode&) = delete;
  ListNode& operator=(const ListNode&) = delete;

  bool Linked() const { return linked_; }

 private:
  template <typename T>
  friend class IntrusiveList;
  ListNode* previous_ = nullptr;
  ListNode* next_ = nullptr;
  bool linked_ = false;
};

template <typename T>
class IntrusiveList {
 public:
  IntrusiveList() = default;
  IntrusiveList(const IntrusiveList&) = delete;
  IntrusiveList& operator=(const IntrusiveList&) = delete;
  ~IntrusiveList() {
    if (count_ != 0) {
      std::fputs("Leaking Mem...\n", stderr);
      std::fflush(stderr);
    }
  }

  size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  T* Front() const { return static_cast<T*>(head_); }
  T* Back() const { return static_cast<T*>(tail_); }
  static T* Next(T* member) { return static_cast<T*>(static_cast<ListNode*>(member)->next_); }
  static T* Previous(T* member) { return static_cast<T*>(static_cast<ListNode*>(member)->previous_); }

  // A member already in a list is not added again (false).
  bool PushBack(T* member) {
    ListNode* node = member;
    if (node->linked_) return false;
    node->previous_ = tail_;
    node->next_ = nullptr;
    if (tail_) tail_->next_ = node; else head_ = node;
    tail_ = node;
    node->linked_ = true;
    ++count_;
    return true;
  }

  T* PopBack() {
    T* last = Back();
    if (last) Remove(last);
    return last;
  }

  // Unlinks a member of this list.
  void Remove(T* member) {
    ListNode* node = member;
    if (!node->linked_) return;
    if (node->previous_) node->previous_->next_ = node->next_; else head_ = node->next_;
    if (node->next_) node->next_->previous_ = node->previous_; else tail_ = node->previous_;
    node->previous_ = node->next_ = nullptr;
    node->linked_ = false;
    --count_;
  }

 private:
  ListNode* head_ = nullptr;
  ListNode* tail_ = nullptr;
  size_t count_ = 0;
};

}  // namespace tamblor::views
