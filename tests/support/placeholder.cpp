// Replaced by the fixture writer.
