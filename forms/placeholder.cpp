// Replaced by the windows.
