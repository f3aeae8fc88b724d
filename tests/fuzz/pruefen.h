// A broken property stops the fuzzer with the input that broke it, like a crash does.
#pragma once

#include <QDebug>
#include <QString>

#include <cstdlib>

#define PRUEFEN(bedingung, ...)                                                                              \
    do {                                                                                                     \
        if (!(bedingung)) {                                                                                  \
            qCritical().noquote() << "property broken:" << #bedingung << __VA_ARGS__;                        \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
