#pragma once

// The state of text recognition for an image clip.
enum class ClipOCRStatus { notStarted, queued, running, finished, failed };
