// The variablesReference numbers handed to the client: each names a scope of
// a frame or an expandable value. They hold until the target runs again.
#pragma once
#include <string>
#include <vector>

namespace tav::dap {

struct VarNode {
  enum class Kind { Locals, Globals, Registers, Value } kind = Kind::Value;
  int frame = 0;           // locals, and values read in a frame: the frame's index, innermost 0
  bool xgate = false;      // the frame is on the XGATE's stack
  std::string expression;  // a value: the expression that reads it
};

class VariableRefs {
 public:
  int add(VarNode node) {
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size());
  }
  const VarNode* find(long long ref) const {
    return ref >= 1 && ref <= static_cast<long long>(nodes_.size()) ? &nodes_[static_cast<std::size_t>(ref - 1)] : nullptr;
  }
  void clear() { nodes_.clear(); }

 private:
  std::vector<VarNode> nodes_;
};

}  // namespace tav::dap
