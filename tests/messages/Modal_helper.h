// Acting on a modal box or dialog from inside its own event loop.
#pragma once

#include <QWidget>
#include <functional>

namespace doz::test {

// Runs `action` once on the next widget that becomes modal. The action must
// close it, and no other modal widget may appear meanwhile: either fails the
// test and is closed, so a fault cannot hang the run. Gives up without
// running after `timeoutMs`.
void WhenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);

// Pushes one of the box's standard buttons.
void ClickBoxButton(QWidget* box, int standardButton);

}  // namespace doz::test
