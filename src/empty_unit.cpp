// Placeholder unit for a subsystem directory that has no sources yet.
