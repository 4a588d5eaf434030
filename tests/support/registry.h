#pragma once

#include <QObject>

#include <functional>
#include <vector>

// Test classes of one subsystem register themselves; the shared main runs them all.
namespace testing {
using Factory = std::function<QObject*()>;
std::vector<std::pair<const char*, Factory>>& registry();
struct Registrar {
    Registrar(const char* name, Factory factory) { registry().emplace_back(name, std::move(factory)); }
};
}  // namespace testing

#define REGISTER_TEST(Class) \
    static const testing::Registrar registrar_##Class(#Class, [] { return new Class; })
