ardour { ["type"] = "dsp", name = "Tumblet Test Feeder", category = "Utility", license = "MIT",
	author = "Tumblet tests", description = [[Plays a fixed chord into the next processor: pressed at 0.5 s, released at 2.5 s of transport time (of its own clock in a session that never rolls). Chord: C4 E4 G4, or C4 alone.]] }

local press_s, release_s = 0.5, 2.5
local chord = { 60, 64, 67 }
local rate, own_clock, has_rolled = 48000, 0, false

function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 } } end
function dsp_params ()
	return { { ["type"] = "input", name = "One note", min = 0, max = 1, default = 0, toggled = true } }
end
function dsp_init (sr) rate = sr end

function dsp_run (ins, outs, n_samples)
	local out = 1
	for _, e in pairs (midiin) do midiout[out] = { time = e.time, data = e.data }; out = out + 1 end
	-- A session that has rolled plays once, on the transport's time; one that never rolls, on
	-- a clock of the feeder's own.
	local pos
	if Session:transport_rolling () then
		pos = Session:transport_sample (); has_rolled = true
	elseif has_rolled then
		pos = -1 - 10 * rate
	else
		pos = own_clock; own_clock = own_clock + n_samples
	end
	local notes = chord
	if CtrlPorts:array ()[1] > 0.5 then notes = { 60 } end
	for _, at in ipairs ({ { press_s, 0x90, 100 }, { release_s, 0x80, 0 } }) do
		local sample = math.floor (at[1] * rate)
		if sample >= pos and sample < pos + n_samples then
			-- A controller passes through the plug-in at its own offset: it marks the press for
			-- a logger that cannot see the feeder's clock.
			if at[2] == 0x90 then
				midiout[out] = { time = 1 + sample - pos, data = { 0xB0, 119, 1 } }; out = out + 1
			end
			for _, note in ipairs (notes) do
				midiout[out] = { time = 1 + sample - pos, data = { at[2], note, at[3] } }; out = out + 1
			end
		end
	end
	for c = 1, #outs do
		if ins[c] ~= nil and ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
	end
end
