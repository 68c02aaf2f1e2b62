#include "continuous/symbols.h"

#include <algorithm>

// Both trees are AVL trees: after every insertion or removal each node's
// subtrees differ in height by at most one.
namespace {

const std::string &keyOf(const s_arBin *node) { return node->var->name; }
const std::string &keyOf(const s_arDef *node) { return node->name; }

template <typename Node>
int heightOf(const Node *node) {
  return node == nullptr ? 0 : node->height;
}

template <typename Node>
void updateHeight(Node *node) {
  node->height = 1 + std::max(heightOf(node->left), heightOf(node->right));
}

template <typename Node>
Node *rotateRight(Node *node) {
  Node *pivot = node->left;
  node->left = pivot->right;
  pivot->right = node;
  updateHeight(node);
  updateHeight(pivot);
  return pivot;
}

template <typename Node>
Node *rotateLeft(Node *node) {
  Node *pivot = node->right;
  node->right = pivot->left;
  pivot->left = node;
  updateHeight(node);
  updateHeight(pivot);
  return pivot;
}

template <typename Node>
Node *rebalance(Node *node) {
  updateHeight(node);
  int balance = heightOf(node->left) - heightOf(node->right);
  if (balance > 1) {
    if (heightOf(node->left->left) < heightOf(node->left->right))
      node->left = rotateLeft(node->left);
    return rotateRight(node);
  }
  if (balance < -1) {
    if (heightOf(node->right->right) < heightOf(node->right->left))
      node->right = rotateRight(node->right);
    return rotateLeft(node);
  }
  return node;
}

template <typename Node>
Node *find(Node *tree, const std::string &name) {
  while (tree != nullptr) {
    int order = name.compare(keyOf(tree));
    if (order == 0)
      return tree;
    tree = order < 0 ? tree->left : tree->right;
  }
  return nullptr;
}

// Inserts a node known to be absent from the tree; returns the new root.
template <typename Node>
Node *insert(Node *tree, Node *node) {
  if (tree == nullptr)
    return node;
  if (keyOf(node) < keyOf(tree))
    tree->left = insert(tree->left, node);
  else
    tree->right = insert(tree->right, node);
  return rebalance(tree);
}

template <typename Node>
Node *removeSmallest(Node *tree, Node *&smallest) {
  if (tree->left == nullptr) {
    smallest = tree;
    return tree->right;
  }
  tree->left = removeSmallest(tree->left, smallest);
  return rebalance(tree);
}

template <typename Node>
Node *remove(Node *tree, const std::string &name) {
  if (tree == nullptr)
    return nullptr;
  int order = name.compare(keyOf(tree));
  if (order < 0) {
    tree->left = remove(tree->left, name);
  } else if (order > 0) {
    tree->right = remove(tree->right, name);
  } else {
    if (tree->left == nullptr)
      return tree->right;
    if (tree->right == nullptr)
      return tree->left;
    Node *successor = nullptr;
    Node *right = removeSmallest(tree->right, successor);
    successor->left = tree->left;
    successor->right = right;
    tree = successor;
  }
  return rebalance(tree);
}

}  // namespace

s_variable *name2Var(s_arBin *&tree, const std::string &name) {
  if (s_arBin *found = find(tree, name)) {
    found->var->fresh = 0;
    return found->var;
  }
  s_arBin *node = newRecord<s_arBin>();
  node->var = newRecord<s_variable>();
  node->var->name = name;
  tree = insert(tree, node);
  return node->var;
}

s_arDef *searchDef(s_arDef *tree, const std::string &name) { return find(tree, name); }

int storeDef(s_arDef *&tree, const std::string &name, const std::string &text) {
  if (find(tree, name) != nullptr)
    return 0;
  s_arDef *node = newRecord<s_arDef>();
  node->name = name;
  node->text = text;
  tree = insert(tree, node);
  return 1;
}

void delDef(s_arDef *&tree, const std::string &name) { tree = remove(tree, name); }

s_variable *findVariable(const s_arBin *tree, const std::string &name) {
  while (tree != nullptr) {
    int order = name.compare(tree->var->name);
    if (order == 0)
      return tree->var;
    tree = order < 0 ? tree->left : tree->right;
  }
  return nullptr;
}
