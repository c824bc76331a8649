// Placeholder; the real implementation replaces this file.
