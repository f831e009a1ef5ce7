// A folder whose library has no code yet.
