#pragma once
// The setup of the first start after installation.

bool FirstRunSetup();
void CreateMissingListFiles();
void AddExampleLogos();
