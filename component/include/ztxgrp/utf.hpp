// Conversions between UTF-8 and UTF-16, for the front ends: the engine's own,
// so that every layer accepts and rejects the same texts.
#pragma once

#include "ztxgrp/engine/utf.hpp"
