// What the controller measures; the profile's limits, labels and units follow it.
#pragma once

enum class InputKind { Temperature, Voltage };
