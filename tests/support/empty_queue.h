#pragma once
// This thread's message queue emptied for a test and again after it, so that messages other
// tests left (a close, a quit) are not read as this test's.
#include "platform/thread_messages.h"

class cEmptyQueue {
 public:
  cEmptyQueue() { Drain(); }
  ~cEmptyQueue() { Drain(); }
  cEmptyQueue(const cEmptyQueue&) = delete;
  cEmptyQueue& operator=(const cEmptyQueue&) = delete;

  static void Drain() { platform::DiscardThreadMessages(); }
};
