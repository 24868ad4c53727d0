#include "platform/process_exit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QCoreApplication>

namespace {

std::vector<CExitCleanup*>& Registry() {
    static std::vector<CExitCleanup*> registry;
    return registry;
}

} // namespace

CExitCleanup::CExitCleanup(std::function<void()> cleanup) : m_fnCleanup(std::move(cleanup)) {
    Registry().push_back(this);
}

CExitCleanup::~CExitCleanup() {
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

void AfxExitProcess(int status) {
    // Newest first, so nested saves are discarded inside out.
    auto registry = Registry();
    for (auto it = registry.rbegin(); it != registry.rend(); ++it)
        (*it)->m_fnCleanup();
    std::fflush(nullptr);
    std::_Exit(status);
}

void PostQuitMessage(int exitCode) {
    if (QCoreApplication::instance())
        QCoreApplication::exit(exitCode);
}
