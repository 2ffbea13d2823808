#include "runtime/kernel/forms_layer.h"

namespace quorlin {
namespace {
FormsLayer* g_formsLayer = nullptr;
}

void RegisterFormsLayer(FormsLayer* layer) { g_formsLayer = layer; }
FormsLayer* RegisteredFormsLayer() { return g_formsLayer; }

}  // namespace quorlin
