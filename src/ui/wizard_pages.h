#pragma once

namespace tesslow {

struct PageContext;

// Adds the nine pages to the context's frame, in their order.
void AddWizardPages(const PageContext& context);

}  // namespace tesslow
