// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/copyright_statements.h"

#include <gtest/gtest.h>
