#include "threads/critical_section_list.h"

#include <mutex>
#include <new>

#include "platform/heap.h"

namespace threads {
namespace {

struct Node {
  platform::CriticalSection section;
  Node* next;
};

std::mutex g_list_mutex;
Node* g_head = nullptr;

}  // namespace

platform::CriticalSection& add_critical_section() {
  void* memory = platform::heap_alloc(sizeof(Node));
  if (!memory) throw std::bad_alloc();
  auto* node = new (memory) Node{};
  platform::initialize_critical_section(node->section);
  std::lock_guard<std::mutex> lock(g_list_mutex);
  node->next = g_head;
  g_head = node;
  return node->section;
}

size_t critical_section_count() {
  std::lock_guard<std::mutex> lock(g_list_mutex);
  size_t count = 0;
  for (const Node* node = g_head; node; node = node->next) ++count;
  return count;
}

void release_critical_sections() {
  Node* node;
  {
    std::lock_guard<std::mutex> lock(g_list_mutex);
    node = g_head;
    g_head = nullptr;
  }
  while (node) {
    Node* next = node->next;
    platform::delete_critical_section(node->section);
    platform::heap_free(node);
    node = next;
  }
}

}  // namespace threads
