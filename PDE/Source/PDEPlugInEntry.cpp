// The bundle's one exported entry point lives in ColorOptionsCore
// (PDEPlugInCreatePrincipal); this unit only gives the shared library a
// source of its own.
