#include "content/content_refs.h"

namespace {
const cContentRefs g_EmptyRefs;
const cContentRefs* g_pContentRefs = &g_EmptyRefs;
}  // namespace

const cContentRefs& ContentRefs() { return *g_pContentRefs; }

void SetContentRefs(const cContentRefs* refs) { g_pContentRefs = refs ? refs : &g_EmptyRefs; }
