#pragma once

#include <QJsonObject>

struct ModelConfiguration;

// The generation values of a configuration in the request fields of its provider: thinking
// and effort in each service's own shape, the output limit as "max_completion_tokens" or
// "max_tokens", and the sampling values, seed and stop sequences. Unset values and
// `serviceDefault` choices are left out; the context budget and history turns stay local.
struct ModelGenerationOptions {
    static void apply(const ModelConfiguration& configuration, QJsonObject& body);
};
