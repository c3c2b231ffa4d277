// The records headers of the exported interface.
#pragma once
