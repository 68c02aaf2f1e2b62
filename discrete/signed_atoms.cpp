#include "discrete/signed_atoms.h"

struct SignedAtoms::Node {
  explicit Node(const value_type &literal) : value(literal) {}
  value_type value;
  bool red = true;
  Node *parent = nullptr;
  Node *left = nullptr;
  Node *right = nullptr;
};

SignedAtoms::iterator::reference SignedAtoms::iterator::operator*() const { return node->value; }

SignedAtoms::iterator::pointer SignedAtoms::iterator::operator->() const { return &node->value; }

SignedAtoms::iterator &SignedAtoms::iterator::operator++() {
  if (node->right != nullptr) {
    node = node->right;
    while (node->left != nullptr)
      node = node->left;
    return *this;
  }
  const Node *child = node;
  node = node->parent;
  while (node != nullptr && child == node->right) {
    child = node;
    node = node->parent;
  }
  return *this;
}

SignedAtoms::iterator SignedAtoms::iterator::operator++(int) {
  iterator before = *this;
  ++*this;
  return before;
}

namespace {

// Copies a subtree with its colours, so that the copy has the original's shape.
template <typename TreeNode> TreeNode *copySubtree(const TreeNode *from, TreeNode *parent) {
  if (from == nullptr)
    return nullptr;
  TreeNode *copy = new TreeNode(from->value);
  copy->red = from->red;
  copy->parent = parent;
  copy->left = copySubtree(from->left, copy);
  copy->right = copySubtree(from->right, copy);
  return copy;
}

template <typename TreeNode> void deleteSubtree(TreeNode *node) {
  if (node == nullptr)
    return;
  deleteSubtree(node->left);
  deleteSubtree(node->right);
  delete node;
}

} // namespace

SignedAtoms::SignedAtoms(const SignedAtoms &other)
    : root(copySubtree<Node>(other.root, nullptr)), count(other.count) {}

SignedAtoms &SignedAtoms::operator=(const SignedAtoms &other) {
  if (this != &other) {
    clear();
    root = copySubtree<Node>(other.root, nullptr);
    count = other.count;
  }
  return *this;
}

SignedAtoms::~SignedAtoms() { clear(); }

void SignedAtoms::clear() {
  deleteSubtree(root);
  root = nullptr;
  count = 0;
}

SignedAtoms::iterator SignedAtoms::begin() const {
  const Node *node = root;
  while (node != nullptr && node->left != nullptr)
    node = node->left;
  return iterator(node);
}

SignedAtoms::iterator SignedAtoms::insert(const value_type &literal) {
  Node *parent = nullptr;
  bool toLeft = true;
  for (Node *at = root; at != nullptr; at = toLeft ? at->left : at->right) {
    parent = at;
    toLeft = eqbool()(literal.first, at->value.first);
  }
  Node *node = new Node(literal);
  node->parent = parent;
  if (parent == nullptr)
    root = node;
  else if (toLeft)
    parent->left = node;
  else
    parent->right = node;
  ++count;
  rebalanceAfterInsert(node);
  return iterator(node);
}

void SignedAtoms::rotateLeft(Node *node) {
  Node *pivot = node->right;
  node->right = pivot->left;
  if (pivot->left != nullptr)
    pivot->left->parent = node;
  pivot->parent = node->parent;
  if (node->parent == nullptr)
    root = pivot;
  else if (node == node->parent->left)
    node->parent->left = pivot;
  else
    node->parent->right = pivot;
  pivot->left = node;
  node->parent = pivot;
}

void SignedAtoms::rotateRight(Node *node) {
  Node *pivot = node->left;
  node->left = pivot->right;
  if (pivot->right != nullptr)
    pivot->right->parent = node;
  pivot->parent = node->parent;
  if (node->parent == nullptr)
    root = pivot;
  else if (node == node->parent->right)
    node->parent->right = pivot;
  else
    node->parent->left = pivot;
  pivot->right = node;
  node->parent = pivot;
}

void SignedAtoms::rebalanceAfterInsert(Node *node) {
  while (node != root && node->parent->red) {
    Node *parent = node->parent;
    Node *grandparent = parent->parent;
    if (parent == grandparent->left) {
      Node *uncle = grandparent->right;
      if (uncle != nullptr && uncle->red) {
        parent->red = false;
        uncle->red = false;
        grandparent->red = true;
        node = grandparent;
        continue;
      }
      if (node == parent->right) {
        node = parent;
        rotateLeft(node);
      }
      node->parent->red = false;
      grandparent->red = true;
      rotateRight(grandparent);
    } else {
      Node *uncle = grandparent->left;
      if (uncle != nullptr && uncle->red) {
        parent->red = false;
        uncle->red = false;
        grandparent->red = true;
        node = grandparent;
        continue;
      }
      if (node == parent->left) {
        node = parent;
        rotateRight(node);
      }
      node->parent->red = false;
      grandparent->red = true;
      rotateLeft(grandparent);
    }
  }
  root->red = false;
}
