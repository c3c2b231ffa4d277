// The pno headers of the exported interface.
#pragma once
