// The scene library only carries the QML resources; this keeps it a real
// library target that every consumer links.
namespace z3scene {
int resourcesLinked() { return 1; }
}
